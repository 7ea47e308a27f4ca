#include "platform/Guard.h"

#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QString>
#include <stdexcept>

namespace tintora {

void reportError(const std::exception& e)
{
    try {
        prompts().message(QString::fromUtf8(e.what()), QStringLiteral("Tintora"), PromptIcon::Error,
                          PromptButtons::Ok, PromptAnswer::Ok);
    } catch (...) {
        // Nothing may escape the report itself.
    }
}

} // namespace tintora
