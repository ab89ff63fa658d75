// Where the style puts a group box's title and the inside of its frame, for tests that check
// that the buttons of a group stand inside the frame and clear of the title.
#pragma once

#include <QGroupBox>
#include <QLayout>
#include <QStyle>
#include <QStyleOptionGroupBox>

struct GroupBoxPlaces
{
    QRect title;
    QRect inside;
};

inline GroupBoxPlaces PlacesOf(QGroupBox* group)
{
    if (group->layout())
        group->layout()->activate();
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QStyle* style = group->style();
    return {style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group),
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, group)};
}
