#include "tools/gauge_host/xml/xml_reader.h"

#include <windows.h>
#include <msxml2.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/windows/files.h"

namespace gauge_host {

namespace {

// Releases a COM interface when it goes out of scope.
template <typename Interface>
struct Held {
  Interface* pointer = nullptr;
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (pointer != nullptr) {
      pointer->Release();
    }
  }
};

// The file as UTF-8, for finding the places the parser names: UTF-16 files are converted,
// any other is taken as it is.
std::string DocumentText(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::wstring wide((bytes.size() - 2) / 2, L'\0');
    bytes.copy(reinterpret_cast<char*>(wide.data()), wide.size() * 2, 2);
    return Utf8(wide);
  }
  return std::string(bytes);
}

// What the parser's codes mean, in a designer's words.
std::string ParserError(HRESULT code) {
  static const std::pair<HRESULT, const char*> kMessages[] = {
      {MX_E_INPUTEND, "the file ends inside an element"},
      {MX_E_ENCODING, "the file is not text in the encoding it declares"},
      {MX_E_ENCODINGSIGNATURE, "the file is not text in the encoding it declares"},
      {MX_E_ENCODINGSWITCH, "the encoding declared does not match the file"},
      {WC_E_ELEMENTMATCH, "this end tag does not match the element it closes"},
      {WC_E_UNIQUEATTRIBUTE, "an attribute is given twice in one element"},
      {WC_E_UNDECLAREDENTITY, "unknown entity: write &amp; for '&', &lt; for '<', &gt; for '>'"},
      {WC_E_SEMICOLON, "a reference lacks its ';': write &amp; for '&'"},
      {WC_E_QUOTE, "an attribute's value must be in quotes"},
      {WC_E_GREATERTHAN, "'>' expected here"},
      {WC_E_LESSTHAN, "'<' is not allowed here: write &lt;"},
      {WC_E_XMLCHARACTER, "a character that XML does not allow"},
      {WC_E_NAMECHARACTER, "a character that is not allowed in a name"},
      {WC_E_NAME, "a name is expected here"},
      {WC_E_ROOTELEMENT, "the file has a second root element, or text outside its root"},
      {WC_E_SYNTAX, "this is not XML here"},
      {WC_E_DTDPROHIBITED, "a DOCTYPE declaration, which gauges do not use"},
  };
  for (const auto& [known, message] : kMessages) {
    if (known == code) {
      return message;
    }
  }
  char text[64];
  std::snprintf(text, sizeof text, "the XML parser stops here (code 0x%08lX)", static_cast<unsigned long>(code));
  return text;
}

XmlPosition Position(IXmlReader* reader) {
  UINT line = 0;
  UINT column = 0;
  reader->GetLineNumber(&line);
  reader->GetLinePosition(&column);
  return {static_cast<int>(line), static_cast<int>(column)};
}

std::string Name(IXmlReader* reader) {
  const wchar_t* name = nullptr;
  UINT length = 0;
  reader->GetQualifiedName(&name, &length);
  return Utf8(std::wstring_view(name, length));
}

std::string Value(IXmlReader* reader) {
  const wchar_t* value = nullptr;
  UINT length = 0;
  reader->GetValue(&value, &length);
  return Utf8(std::wstring_view(value, length));
}

XmlText Text(const XmlSource& source, XmlPosition start, std::string value, bool cdata) {
  XmlText text;
  text.start = start;
  text.positions = DecodedTextPositions(source, start, value, cdata);
  text.value = std::move(value);
  return text;
}

XmlPosition EndOf(std::string_view text) {
  XmlPosition end{1, 1};
  for (char c : text) {
    end = c == '\n' ? XmlPosition{end.line + 1, 1} : XmlPosition{end.line, end.column + ((c & 0xC0) != 0x80 ? 1 : 0)};
  }
  return end;
}

// Wine's XmlLite does not check references ("&&", "&nbsp;", "&lt" without ';') nor
// repeated attributes, which the simulator rejects; its MSXML, a strict parser, does. Its
// SAX reader gives the place of the last part it read before the fault.
struct SaxFaults : ISAXErrorHandler {
  bool found = false;
  XmlPosition position;
  std::string message;

  HRESULT WINAPI QueryInterface(REFIID interface_id, void** object) override {
    static constexpr IID kErrorHandler = {0xa60511c4, 0xccf5, 0x479e, {0x98, 0xa3, 0xdc, 0x8d, 0xc5, 0x45, 0xb7, 0xd0}};
    *object = IsEqualIID(interface_id, IID_IUnknown) || IsEqualIID(interface_id, kErrorHandler) ? this : nullptr;
    return *object != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG WINAPI AddRef() override { return 1; }
  ULONG WINAPI Release() override { return 1; }
  HRESULT WINAPI error(ISAXLocator* locator, const wchar_t* text, HRESULT) override { return Take(locator, text); }
  HRESULT WINAPI fatalError(ISAXLocator* locator, const wchar_t* text, HRESULT) override {
    return Take(locator, text);
  }
  HRESULT WINAPI ignorableWarning(ISAXLocator*, const wchar_t*, HRESULT) override { return S_OK; }

  HRESULT Take(ISAXLocator* locator, const wchar_t* text) {
    if (!found) {
      int line = 0;
      int column = 0;
      locator->getLineNumber(&line);
      locator->getColumnNumber(&column);
      found = true;
      position = {std::max(line, 1), std::max(column, 1)};
      message = Utf8(text);
      message.erase(message.find_last_not_of(" \r\n") + 1);
      if (message.find("Entity") != std::string::npos) {
        message = "a '&' that starts no reference (" + message + "): write &amp; for '&', &amp;&amp; for '&&'";
      }
      message += ", at or after this place";
    }
    return E_FAIL;
  }
};

// The first fault MSXML finds in a file, or none.
SaxFaults StrictParse(IStream* stream) {
  static constexpr CLSID kSaxReader30 = {0x3124c396, 0xfb13, 0x4836, {0xa6, 0xad, 0x13, 0x17, 0xf1, 0x71, 0x36, 0x88}};
  static constexpr IID kSaxReaderInterface = {0xa4f96ed0, 0xf829, 0x476e, {0x81, 0xc0, 0xcd, 0xc7, 0xbd, 0x2a, 0x08, 0x02}};
  SaxFaults faults;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Held<ISAXXMLReader> reader;
  if (SUCCEEDED(CoCreateInstance(kSaxReader30, nullptr, CLSCTX_INPROC_SERVER, kSaxReaderInterface,
                                 reinterpret_cast<void**>(&reader.pointer)))) {
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    reader.pointer->putErrorHandler(&faults);
    VARIANT input;
    VariantInit(&input);
    input.vt = VT_UNKNOWN;
    input.punkVal = stream;
    reader.pointer->parse(input);
    reader.pointer->putErrorHandler(nullptr);
  }
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return faults;
}

}  // namespace

XmlDocument ReadXmlDocument(std::string_view bytes, const std::string& file) {
  XmlDocument document;
  const XmlSource source(DocumentText(bytes));
  Held<IStream> stream;
  stream.pointer = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  Held<IXmlReader> reader;
  if (stream.pointer == nullptr ||
      FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader.pointer), nullptr))) {
    document.not_well_formed = Diagnostic{file, {}, Severity::kError, "the XML parser of Windows cannot be started"};
    return document;
  }
  reader.pointer->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  reader.pointer->SetInput(stream.pointer);

  // The elements open at this point of the file, outermost first.
  std::vector<XmlElement> open;
  bool has_root = false;
  const auto close = [&](XmlElement element) {
    if (open.empty()) {
      document.root = std::move(element);
      has_root = true;
    } else {
      open.back().children.push_back(std::move(element));
    }
  };
  XmlNodeType type = XmlNodeType_None;
  HRESULT status = S_OK;
  XmlPosition previous{1, 1};  // of the node before, where a text's search for its start begins
  while ((status = reader.pointer->Read(&type)) == S_OK) {
    const XmlPosition reported = Position(reader.pointer);
    if (type == XmlNodeType_Element) {
      XmlElement element;
      element.name = Name(reader.pointer);
      element.position = reported;
      const bool empty = reader.pointer->IsEmptyElement() != FALSE;
      for (HRESULT more = reader.pointer->MoveToFirstAttribute(); more == S_OK;
           more = reader.pointer->MoveToNextAttribute()) {
        XmlAttribute attribute;
        attribute.name = Name(reader.pointer);
        attribute.position = Position(reader.pointer);
        attribute.value = Text(source, AttributeValueStart(source, attribute.position), Value(reader.pointer), false);
        element.attributes.push_back(std::move(attribute));
      }
      reader.pointer->MoveToElement();
      if (empty) {
        close(std::move(element));
      } else {
        open.push_back(std::move(element));
      }
    } else if (type == XmlNodeType_EndElement && !open.empty()) {
      XmlElement element = std::move(open.back());
      open.pop_back();
      close(std::move(element));
    } else if (type == XmlNodeType_Text || type == XmlNodeType_CDATA || type == XmlNodeType_Whitespace) {
      std::string value = Value(reader.pointer);
      // Wine's parser, at the end of a file that ends inside an element, gives empty
      // texts for ever instead of an error: no real text is empty.
      if (value.empty() && type != XmlNodeType_CDATA) {
        break;
      }
      const bool cdata = type == XmlNodeType_CDATA;
      if (!open.empty() && !Trimmed(value).empty()) {
        const XmlPosition start = TextStart(source, previous, reported, value, cdata);
        open.back().texts.push_back(Text(source, start, std::move(value), cdata));
      }
    }
    previous = reported;
  }
  if (bytes.empty()) {
    document.not_well_formed = NotWellFormed(file, {1, 1}, "the file is empty");
  } else if (FAILED(status)) {
    XmlPosition position = Position(reader.pointer);
    // At the end of the input the parser may give no place: the end is the place.
    if (position.line == 0) {
      position = EndOf(source.Text());
    }
    document.not_well_formed = NotWellFormed(file, position, ParserError(status));
  } else if (!open.empty()) {
    document.not_well_formed =
        NotWellFormed(file, EndOf(source.Text()), "the file ends before <" + open.back().name + "> is closed");
  } else if (!has_root) {
    document.not_well_formed = NotWellFormed(file, {1, 1}, "the file has no root element");
  } else if (const SaxFaults faults = StrictParse(stream.pointer); faults.found) {
    document.not_well_formed = NotWellFormed(file, faults.position, faults.message);
  }
  return document;
}

}  // namespace gauge_host
