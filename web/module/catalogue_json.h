// The catalogue and the layout of its tabs as one JSON text, which the page
// parses once: one crossing into JavaScript instead of one per field.
#pragma once

#include <string>

namespace qvx::web {

// {"settings": [...], "tabs": [...]}: every setting in catalogue order
// (name, kind "list"/"slider"/"radio"/"text", tab, group, item, caption,
// hint, options, minimum, maximum, buttons [{control, caption}],
// defaultValue, defaultText, deviceCountsFromOne, valueLabel, minLabel,
// maxLabel) and the eleven tabs (kind "greeting"/"zoneTable"/"groupBoxes"/
// "textFields", caption, columns [{group, heading, label}], boxes [{title,
// rows [{kind "heading"/"field"/"box", caption, hint, column, settings}]}]).
// UTF-8.
std::string CatalogueJson();

}  // namespace qvx::web
