#include "core/UserFacingError.h"

namespace velloran {

QString userFacingText(std::exception_ptr failure, const QString &otherwise)
{
    try {
        std::rethrow_exception(std::move(failure));
    } catch (const UserFacingError &error) {
        return error.message();
    } catch (const std::exception &error) {
        const QString text = QString::fromUtf8(error.what());
        return text.isEmpty() ? otherwise : text;
    } catch (...) {
        return otherwise;
    }
}

} // namespace velloran
