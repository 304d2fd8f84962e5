#pragma once
// The text an error box shows for an error that escaped a handler.

#include <QString>
#include <exception>

// The error's message as the user reads it; "Unknown error" for anything that
// is not a standard exception.
inline QString ErrorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}
