#include "fakes/CaptionChecks.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QRadioButton>
#include <QWidget>

#include "components/QL_ImageLabel.h"

namespace {

// A push or tool button's caption with its icon and the style's margins, as drawn.
int ButtonNeeds(const QAbstractButton& button) {
    QString text = button.text();
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    const int icon = button.icon().isNull() ? 0 : button.iconSize().width() + 4;
    return button.fontMetrics().horizontalAdvance(text) + icon + 8;
}

}  // namespace

QStringList CutCaptions(const QWidget& root) {
    QStringList cut;
    auto report = [&cut](const QWidget& w, const QString& text, int needs) {
        if (needs > w.width())
            cut << QStringLiteral("%1 '%2' %3 < %4").arg(w.objectName(), text).arg(w.width()).arg(needs);
    };
    for (const QAbstractButton* b : root.findChildren<QAbstractButton*>()) {
        if (b->text().isEmpty()) continue;
        const bool box = qobject_cast<const QCheckBox*>(b) || qobject_cast<const QRadioButton*>(b);
        report(*b, b->text(), box ? b->sizeHint().width() : ButtonNeeds(*b));
    }
    for (const TQL_ImageLabel* l : root.findChildren<TQL_ImageLabel*>())
        report(*l, l->Text(), l->TextLeft() + QFontMetrics(l->CanvasFont()).horizontalAdvance(l->Text()) + 2);
    return cut;
}

std::map<QString, QString> LinkTexts(const QWidget& root) {
    std::map<QString, QString> texts;
    for (const TQL_ImageLabel* l : root.findChildren<TQL_ImageLabel*>()) texts[l->objectName()] = l->Text();
    return texts;
}

QStringList OutsideParent(const QWidget& root) {
    QStringList out;
    for (const QWidget* w : root.findChildren<QWidget*>()) {
        const QWidget* parent = w->parentWidget();
        if (w->isWindow() || !parent || !w->isVisibleTo(&root)) continue;
        if (parent->rect().contains(w->geometry())) continue;
        const QRect g = w->geometry();
        out << QStringLiteral("%1 %2,%3 %4x%5 in %6x%7")
                   .arg(w->objectName()).arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())
                   .arg(parent->width()).arg(parent->height());
    }
    return out;
}
