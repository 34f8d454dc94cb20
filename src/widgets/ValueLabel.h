#pragma once

#include <QString>

class QLabel;

namespace widgets {

// A label that shows a value beside a caption label ("Write Size:" 1234). A screen reader hears the
// caption with the value, "Write Size: 1234" (the caption alone while the value is blank), and reads the
// value as the label's value, whatever set the text: the label keeps no fixed accessible name, so every
// setText tells the screen reader the name changed.
void NameValueLabel(QLabel* value, const QString& caption);

} // namespace widgets
