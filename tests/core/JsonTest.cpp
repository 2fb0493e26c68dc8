#include "core/Json.h"

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

TEST(Json, RejectsMalformedDocuments)
{
    const QByteArray deep = QByteArray(5000, '[') + QByteArray(5000, ']');
    for (const QByteArray &bytes : {QByteArray(), QByteArray("{"), QByteArray("nul"), QByteArray("\"text\""),
                                    QByteArray("{\"a\":\"\xff\xfe\"}"), deep}) {
        EXPECT_THROW(parseJson(bytes), DecodeError) << bytes.left(40).toStdString();
    }
}

TEST(Json, IntegersMustBeIntegralAndInRange)
{
    const auto read = [](const char *json) {
        return JsonReader(parseJson(QByteArray("{\"n\":") + json + "}"), u"x"_s).integer("n"_L1);
    };
    EXPECT_EQ(read("42"), 42);
    EXPECT_EQ(read("-7"), -7);
    EXPECT_EQ(read("9007199254740993"), 9007199254740993LL);
    for (const char *bad : {"1.5", "1e300", "\"3\"", "true", "null", "[]", "-1e19"})
        EXPECT_THROW(read(bad), DecodeError) << bad;
}

TEST(Json, ErrorsNameTheField)
{
    try {
        JsonReader(parseJson(R"({"a":{"b":1}})"), {}).string("a"_L1);
        FAIL();
    } catch (const DecodeError &error) {
        EXPECT_TRUE(error.message().contains(u"\"a\""_s)) << error.what();
    }
    EXPECT_THROW(JsonReader(parseJson(R"({"a":1})"), {}).string("b"_L1), DecodeError);
}
