#pragma once

// The program's one XML reader, shared by the language files and the update description; it
// converts byte content through the system's code pages. UI thread only.
#include "lang/xml_reader.h"

namespace q350::lang {

XmlReader& TheXmlReader();

}  // namespace q350::lang
