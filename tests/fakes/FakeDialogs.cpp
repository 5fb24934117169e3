#include "fakes/FakeDialogs.h"

TMsgResult TFakeDialogs::MessageBox(const QString& caption, const QString& text, TMsgButtons buttons, TMsgIcon icon) {
    Calls.push_back({QStringLiteral("message"), caption, text, buttons, icon, {}});
    if (!MessageAnswers.empty()) {
        const TMsgResult r = MessageAnswers.front();
        MessageAnswers.pop_front();
        return r;
    }
    return buttons == TMsgButtons::YesNo ? TMsgResult::No : TMsgResult::Ok;
}

namespace {
QString Next(std::deque<QString>& answers) {
    if (answers.empty()) return QString();
    const QString r = answers.front();
    answers.pop_front();
    return r;
}
}  // namespace

QString TFakeDialogs::OpenFile(const TFileDialogRequest& request) {
    Calls.push_back({QStringLiteral("open"), request.Title, QString(), TMsgButtons::Ok, TMsgIcon::None, request});
    return Next(FileAnswers);
}

QStringList TFakeDialogs::OpenFiles(const TFileDialogRequest& request) {
    Calls.push_back({QStringLiteral("open"), request.Title, QString(), TMsgButtons::Ok, TMsgIcon::None, request});
    return Next(FileAnswers).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString TFakeDialogs::SaveFile(const TFileDialogRequest& request) {
    Calls.push_back({QStringLiteral("save"), request.Title, QString(), TMsgButtons::Ok, TMsgIcon::None, request});
    if (request.ChosenFilter) {
        *request.ChosenFilter = FilterAnswers.empty() ? request.FilterIndex : FilterAnswers.front();
        if (!FilterAnswers.empty()) FilterAnswers.pop_front();
    }
    return Next(FileAnswers);
}

QString TFakeDialogs::SelectFolder(const QString& title, const QString& root) {
    Calls.push_back({QStringLiteral("folder"), title, root, TMsgButtons::Ok, TMsgIcon::None, {}});
    return Next(FileAnswers);
}

std::vector<TRecordedDialog> TFakeDialogs::Messages() const {
    std::vector<TRecordedDialog> out;
    for (const auto& c : Calls)
        if (c.Kind == QStringLiteral("message")) out.push_back(c);
    return out;
}
