#pragma once

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace velka::test {

// The ways a check box's state changes from outside the program's own models: the mouse, the
// space bar, the toggle action of a screen reader, switch access or voice control, and a
// setChecked from other code. Only the first two make the box emit clicked. (Qt offers a check
// box's assistive technology the toggle action alone, no press action.)
enum class BoxChange { Mouse, SpaceBar, ToggleAction, SetChecked };

inline constexpr BoxChange kEveryBoxChange[] = {BoxChange::Mouse, BoxChange::SpaceBar,
                                                BoxChange::ToggleAction, BoxChange::SetChecked};

inline const char* nameOf(BoxChange change)
{
    switch (change) {
    case BoxChange::Mouse:
        return "Mouse";
    case BoxChange::SpaceBar:
        return "SpaceBar";
    case BoxChange::ToggleAction:
        return "ToggleAction";
    case BoxChange::SetChecked:
        break;
    }
    return "SetChecked";
}

inline void PrintTo(BoxChange change, std::ostream* out)
{
    *out << nameOf(change);
}

// Names the instances of a test over kEveryBoxChange.
inline std::string boxChangeName(const ::testing::TestParamInfo<BoxChange>& param)
{
    return nameOf(param.param);
}

// Runs one of the box's accessible actions, as an assistive technology does.
inline ::testing::AssertionResult runAccessibleAction(QCheckBox* box, const QString& action)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
    QAccessibleActionInterface* actions = iface ? iface->actionInterface() : nullptr;
    if (!actions)
        return ::testing::AssertionFailure() << "the box offers no accessible actions";
    if (!actions->actionNames().contains(action))
        return ::testing::AssertionFailure() << "the box offers no " << action.toStdString();
    actions->doAction(action);
    return ::testing::AssertionSuccess();
}

// Changes the box's state once, the way `change` does.
inline ::testing::AssertionResult changeBox(QCheckBox* box, BoxChange change)
{
    switch (change) {
    case BoxChange::Mouse:
        QTest::mouseClick(box, Qt::LeftButton);
        break;
    case BoxChange::SpaceBar:
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        break;
    case BoxChange::ToggleAction:
        return runAccessibleAction(box, QAccessibleActionInterface::toggleAction());
    case BoxChange::SetChecked:
        box->setChecked(!box->isChecked());
        break;
    }
    return ::testing::AssertionSuccess();
}

} // namespace velka::test
