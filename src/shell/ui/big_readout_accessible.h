#pragma once

class QWidget;

namespace vx::ui {

// The big readout's figures are painted, so a screen reader would find only its title: each
// reading (BigReadoutWindow::readingName) is made an object of its own, named by what it says.

// Once per program, before the first big readout is asked for its accessible objects.
void installBigReadoutAccessibility();
// Tells screen readers that a reading says something else now, or came or went.
void tellReadingChanged(QWidget* bigReadout, int reading, bool shownBefore);

} // namespace vx::ui
