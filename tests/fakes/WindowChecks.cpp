#include "fakes/WindowChecks.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>
#include <QWidget>

#include "components/QL_ImageLabel.h"

::testing::AssertionResult IsFixedDialog(const QWidget& window) {
    const Qt::WindowFlags f = window.windowFlags();
    QStringList faults;
    if (window.windowType() != Qt::Dialog) faults << QStringLiteral("not a dialog");
    if (f & Qt::WindowMinimizeButtonHint) faults << QStringLiteral("minimize box");
    if (f & Qt::WindowMaximizeButtonHint) faults << QStringLiteral("maximize box");
    if (!(f & Qt::WindowCloseButtonHint)) faults << QStringLiteral("no close box");
    if (window.minimumSize() != window.maximumSize() || window.minimumSize() != window.size())
        faults << QStringLiteral("size %1x%2, minimum %3x%4, maximum %5x%6")
                      .arg(window.width()).arg(window.height())
                      .arg(window.minimumWidth()).arg(window.minimumHeight())
                      .arg(window.maximumWidth()).arg(window.maximumHeight());
    if (faults.isEmpty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << window.objectName().toStdString() << ": "
                                         << faults.join(QStringLiteral(", ")).toStdString();
}

QStringList CutLabels(const QWidget& root) {
    QList<const QLabel*> labels;
    if (const auto* self = qobject_cast<const QLabel*>(&root)) labels << self;
    for (const QLabel* l : root.findChildren<QLabel*>()) labels << l;
    QStringList cut;
    for (const QLabel* label : labels) {
        if (label->text().isEmpty()) continue;
        const QSize has = label->size();
        const QSize needs = label->wordWrap() ? QSize(has.width(), label->heightForWidth(has.width())) : label->sizeHint();
        if (needs.width() <= has.width() && needs.height() <= has.height()) continue;
        cut << QStringLiteral("%1 '%2' %3x%4 < %5x%6")
                   .arg(label->objectName(), label->text())
                   .arg(has.width()).arg(has.height())
                   .arg(needs.width()).arg(needs.height());
    }
    return cut;
}

std::map<QString, QString> WindowTexts(QWidget& window) {
    std::map<QString, QString> texts;
    auto add = [&texts](const QObject& owner, const QString& what, const QString& text) {
        if (text.isEmpty()) return;
        const QString kind = QString::fromLatin1(owner.metaObject()->className());
        texts[owner.objectName() + QLatin1Char('/') + kind + QLatin1Char('.') + what] += text;
    };
    add(window, QStringLiteral("title"), window.windowTitle());
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.append(&window);
    for (QWidget* w : widgets) {
        add(*w, QStringLiteral("toolTip"), w->toolTip());
        add(*w, QStringLiteral("statusTip"), w->statusTip());
        if (auto* label = qobject_cast<QLabel*>(w)) add(*w, QStringLiteral("text"), label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w)) add(*w, QStringLiteral("text"), button->text());
        if (auto* group = qobject_cast<QGroupBox*>(w)) add(*w, QStringLiteral("title"), group->title());
        if (auto* menu = qobject_cast<QMenu*>(w)) add(*w, QStringLiteral("title"), menu->title());
        if (auto* edit = qobject_cast<QLineEdit*>(w)) add(*w, QStringLiteral("placeholder"), edit->placeholderText());
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i) add(*w, QStringLiteral("item%1").arg(i), combo->itemText(i));
        // A list's column captions, whether it keeps its own items or shows a model.
        if (auto* view = qobject_cast<QTreeView*>(w); view && view->model())
            for (int i = 0; i < view->model()->columnCount(); ++i)
                add(*w, QStringLiteral("header%1").arg(i), view->model()->headerData(i, Qt::Horizontal).toString());
        // Link labels draw their text themselves.
        if (auto* link = qobject_cast<TQL_ImageLabel*>(w)) add(*w, QStringLiteral("text"), link->Text());
    }
    const QList<QAction*> actions = window.findChildren<QAction*>();
    for (int i = 0; i < actions.size(); ++i) {
        // Unnamed actions (the system menu's, separators) are told apart by their order.
        QAction* a = actions[i];
        const QString where = a->objectName().isEmpty() ? QStringLiteral("#%1").arg(i) : QString();
        add(*a, where + QStringLiteral("text"), a->text());
        add(*a, where + QStringLiteral("toolTip"), a->toolTip());
        add(*a, where + QStringLiteral("hint"), a->property("hint").toString());
    }
    return texts;
}

bool HasJapanese(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
    }
    return false;
}

QStringList JapaneseTexts(QWidget& window) {
    QStringList japanese;
    for (const auto& [where, text] : WindowTexts(window))
        if (HasJapanese(text)) japanese << where + QStringLiteral(": ") + text;
    return japanese;
}
