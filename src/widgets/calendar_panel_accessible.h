// What screen readers see of the month-grid panel: a table of six weeks by seven days whose
// cells are the days, named in full, with the selected day as the selected and focused cell.
#pragma once

// Installs the interface factory for every TCalenPnl; later calls do nothing.
void InstallCalendarPanelAccessibility();

// The table's child index of grid cell n (1..42); the two month buttons follow the cells.
int CalendarCellChildIndex(int cell);
