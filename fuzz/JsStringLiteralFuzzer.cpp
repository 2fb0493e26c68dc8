// The string literals the engine builds into calls of the page's functions: whatever the
// text (a token, a name), the literal is one JSON string of printable ASCII that reads back
// as that text.

#include "FuzzCheck.h"

#include "playback/PlayerPageMessage.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace velloran;
using velloran::fuzz::require;

namespace {

void check(const QString &text)
{
    const QString literal = jsStringLiteral(text);
    require(literal.size() >= 2 && literal.front() == u'"' && literal.back() == u'"', "the literal is quoted");
    for (const QChar c : literal)
        require(c.unicode() >= 0x20 && c.unicode() < 0x7f, "plain printable ASCII only");
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson("[" + literal.toUtf8() + "]", &error);
    require(error.error == QJsonParseError::NoError && document.array().size() == 1, "the literal is one JSON value");
    // A lone surrogate cannot travel as UTF-8; any other text arrives unchanged.
    if (QStringView(text).isValidUtf16())
        require(document.array().at(0).toString() == text, "the literal reads back as the text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    check(QString::fromUtf8(bytes));
    // The same bytes as UTF-16 code units, lone surrogates included.
    check(QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2));
    return 0;
}
