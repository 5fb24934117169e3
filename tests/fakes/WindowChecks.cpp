#include "fakes/WindowChecks.h"

#include <QLabel>
#include <QWidget>

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
