// Saving the three filter settings to a one-line file and importing them back.
#include "app/TintoraForm.h"
#include "controls/GaugeBar.h"
#include "platform/Dialogs.h"
#include "platform/Prompts.h"
#include "util/FilterFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace tintora {

void TTintoraForm::NextImg4Click()
{
    const QString path =
        PromptSaveFileName(QStringLiteral("Save filter as"),
                           {{QStringLiteral("Tintora filter (*.tnf)"), QStringLiteral("*.tnf")}}, LastFolder);
    if (path.isEmpty())
        return;
    const std::string line = formatFilterLine({Hue->Position(), Sat->Position(), Bright->Position()});
    // Written beside the target and renamed over it, so a failure leaves no partial file.
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) &&
                       file.write(line.data(), qint64(line.size())) == qint64(line.size()) && file.commit();
    if (!saved)
        prompts().message(QStringLiteral("The filter could not be saved to ") + path + QStringLiteral("\r") +
                              file.errorString(),
                          QStringLiteral("Warning"), PromptIcon::Warning, PromptButtons::Ok,
                          PromptAnswer::Ok);
}

void TTintoraForm::NextImg5Click()
{
    const QString path =
        PromptOpenFileName(QStringLiteral("Import a filter"),
                           {{QStringLiteral("Tintora filter (*.tnf) "), QStringLiteral("*.tnf")}}, QString());
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(file.errorString().toStdString());
    const QByteArray line = file.readLine();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(file.errorString().toStdString());
    const FilterSettings settings =
        parseFilterLine(firstLine(std::string_view(line.constData(), line.size())));
    SuppressFilter = false;
    Hue->setPosition(settings.hue);
    Sat->setPosition(settings.saturation);
    Bright->setPosition(settings.brightness);
}

} // namespace tintora
