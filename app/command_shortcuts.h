// Keys for the file commands: Ctrl+O clicks "Открыть" (N2), Ctrl+S clicks
// "Сохранить" (N3), anywhere in the main window. Nothing visible changes:
// the captions keep their texts, without underlined letters.
#pragma once

class TForm1;

namespace qvx {

// Adds the shortcuts to `form`, which owns them.
void AddCommandShortcuts(TForm1& form);

}  // namespace qvx
