// Reads a gauge file with the XML parser that Windows provides (XmlLite), into the plain
// tree of xml_tree.h, with the parser's own line and column for every piece and for the
// place where a file that is not well formed stops it. Windows only.
#pragma once

#include <string>
#include <string_view>

#include "tools/gauge_host/xml/xml_tree.h"

namespace gauge_host {

// file: the name the diagnostic gives the file.
XmlDocument ReadXmlDocument(std::string_view bytes, const std::string& file);

}  // namespace gauge_host
