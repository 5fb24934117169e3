#include "fakes/AppFixture.h"

#include <QCoreApplication>
#include <QTreeWidget>
#include <fstream>
#include <ostream>

#include "engine/NormalFileInfo.h"

const QString AppFixture::kNow = QStringLiteral("2026/01/02 3:04:05");

void PrintTo(const TLogLine& line, std::ostream* os) {
    *os << "{\"" << line.Text.toStdString() << "\", " << line.Kind << "}";
}

std::vector<TLogLine> Expected(const TRunLog& log) {
    std::vector<TLogLine> out;
    for (const auto& [text, kind] : log.Lines()) out.push_back({QString::fromStdString(text), kind});
    return out;
}

void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

void PrintTo(const TPath& path, std::ostream* os) { *os << "TPath(\"" << path.Bytes() << "\")"; }

QList<TPath> Paths(const QStringList& texts) {
    QList<TPath> out;
    for (const QString& text : texts) out << TPath(text);
    return out;
}

QStringList PathTexts(const QList<TPath>& paths) {
    QStringList out;
    for (const TPath& path : paths) out << path.ToQString();
    return out;
}

void AppFixture::SetUp() {
    dir_ = std::make_unique<TempDir>();
    platform_.Folder = QString::fromStdString(dir_->path().string()) + QStringLiteral("/prog");
    std::filesystem::create_directories(platform_.Folder.toStdString());
    SetDialogs(&dialogs_);
    SetPlatform(&platform_);
    SetSettings(&settings_);
    SetMessagePump([this] { ++pumps_; });
    w_ = std::make_unique<TTavrenneUnderTest>();
    w_->TickCount = [this] { return tick_; };
    w_->Wait = [this](int ms) { waits_.push_back(ms); };
    w_->NowText = [] { return kNow; };
}

void AppFixture::TearDown() {
    w_.reset();
    SetMessagePump(nullptr);
    SetSettings(nullptr);
    SetPlatform(nullptr);
    SetDialogs(nullptr);
    dir_.reset();
}

QString AppFixture::MakeFile(const QString& name, const std::string& bytes) {
    const std::filesystem::path p = dir_->path() / name.toStdString();
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return QString::fromStdString(p.string());
}

QString AppFixture::MakeFile(const QString& name, size_t size, char fill) {
    std::string bytes(size, fill);
    for (size_t i = 0; i < size; ++i) bytes[i] = char(fill + (i % 251));
    return MakeFile(name, bytes);
}

std::vector<TLogLine> AppFixture::Log(int from) const {
    std::vector<TLogLine> out;
    for (int i = from; i < w_->ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = w_->ListView1->topLevelItem(i);
        out.push_back({item->text(2), item->data(0, Qt::UserRole).toInt()});
    }
    return out;
}

int AppFixture::LogCount() const { return w_->ListView1->topLevelItemCount(); }

void AppFixture::AtPump(std::function<bool()> when, std::function<void()> action) {
    auto done = std::make_shared<bool>(false);
    SetMessagePump([this, when, action, done] {
        ++pumps_;
        if (!*done && when()) {
            *done = true;
            action();
        }
    });
}

void AppFixture::SmallBuffers() {
    settings_.Values.AutoBufferSize = false;
    settings_.Values.BufferSize = 1;
}
