#include "gui/shell/checkablebuttons.h"

#include <QAction>
#include <QActionGroup>
#include <QToolButton>

void MakeCheckableButtonReachable(QToolButton *button)
{
    button->setFocusPolicy(Qt::TabFocus);
    // The button passes its state to its action before this runs.
    QObject::connect(button, &QAbstractButton::toggled, button, [button](bool checked) {
        QAction *action = button->defaultAction();
        const QActionGroup *group = action ? action->actionGroup() : nullptr;
        if (!checked && group && group->isExclusive() && !group->checkedAction())
            action->setChecked(true);
    });
}
