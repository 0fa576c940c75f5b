// What loading a large published-style gauge costs the gauge host: a gauge of the newer
// schema that this program writes itself (hundreds of macros, thousands of elements and
// mouse areas, an <Update> that uses the macros), read with the XML parser Windows
// provides and its scripts expanded and compiled, as a scenario's gauge step and --check
// read it. Prints, at each of two sizes, the median of several loads and the share of it
// spent in the XML reader, then how the time grew against the size.
//   gauge_load_benchmark [KILOBYTES] [RUNS]     (512 and 5 by default; also at a quarter of it)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/gauge_host/script/gauge_scripts.h"
#include "tools/gauge_host/xml/xml_reader.h"

namespace {

// A gauge of about `bytes` bytes: for each block of 16 elements, 16 macros that read and
// write panel variables, 16 elements with a visibility, a selection and a text that runs a
// script, and 16 mouse areas whose clicks use the macros with arguments.
std::string LargeGauge(std::size_t bytes) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<SimBase.Document Type=\"AceXML\" version=\"1,0\" id=\"Large\">\n"
      "  <Descr>AceXML Document</Descr>\n"
      "  <SimGauge.Gauge id=\"Large\" ArtDirectory=\".\">\n"
      "    <FloatPosition>0.000,0.000</FloatPosition>\n"
      "    <Size>1024,768</Size>\n";
  std::string update = "    <Update id=\"Update\">\n      <Script>\n";
  std::string body;
  for (int block = 0; xml.size() + body.size() + update.size() < bytes; ++block) {
    for (int index = 0; index < 16; ++index) {
      const std::string n = std::to_string(block * 16 + index);
      xml += "    <Macro id=\"Read" + n + "\" Name=\"Read" + n + "\">\n      <MacroValue>(L:Large_" + n +
             ", number)</MacroValue>\n    </Macro>\n";
      xml += "    <Macro id=\"Set" + n + "\" Name=\"Set" + n + "\">\n      <MacroValue>@1 (&gt;L:Large_" + n +
             ", number) @Read" + n + " 360 % (&gt;L:Large_Angle" + n + ", degrees)</MacroValue>\n    </Macro>\n";
      update += "        @Read" + n + " 1 + 1000 % @Set" + n + "(r) (L:Large_Switch" + n +
                ", bool) if{ 0 (&gt;L:Large_Switch" + n + ", bool) }\n";
      body += "    <Element id=\"Element" + n + "\">\n      <FloatPosition>" + std::to_string(index * 40) + ",30</FloatPosition>\n"
              "      <Visibility>@Read" + n + " 0 &gt;</Visibility>\n"
              "      <Select id=\"Select" + n + "\">\n        <Expression id=\"Expression" + n + "\">\n"
              "          <Script>@Read" + n + " 4 %</Script>\n        </Expression>\n"
              "        <Case id=\"Off" + n + "\" ExpressionResult=\"0\"><Image id=\"Off.bmp\" Name=\"Off.bmp\"/></Case>\n"
              "        <Case id=\"On" + n + "\" ExpressionResult=\"1\"><Image id=\"On.bmp\" Name=\"On.bmp\"/></Case>\n"
              "      </Select>\n"
              "      <GaugeText id=\"Text" + n + "\">\n        <GaugeString>%(@Read" + n + ")%!3d!%</GaugeString>\n"
              "      </GaugeText>\n    </Element>\n";
      body += "    <MouseArea id=\"Area" + n + "\">\n      <FloatPosition>" + std::to_string(index * 40) +
              ",400</FloatPosition>\n      <Size>40,40</Size>\n      <TooltipText>Switch " + n +
              "</TooltipText>\n      <CursorType>Hand</CursorType>\n      <MouseClick id=\"Click" + n + "\">\n"
              "        <ClickType>LeftSingle</ClickType>\n        <ClickType>LeftRelease</ClickType>\n"
              "        <Script>(M:Event) 'LeftSingle' scmp 0 == if{ 1 @Set" + n + "(1) } els{ 0 @Set" + n +
              "(0) }</Script>\n      </MouseClick>\n    </MouseArea>\n";
    }
  }
  update += "      </Script>\n    </Update>\n";
  return xml + update + body + "  </SimGauge.Gauge>\n</SimBase.Document>\n";
}

double Seconds() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Load {
  std::size_t bytes = 0;
  double seconds = 0;      // the whole load, median
  double xml_seconds = 0;  // of it, the XML reader, median
};

// Loads the gauge `runs` times; exits when it does not load as a gauge.
Load Measure(std::size_t kilobytes, int runs) {
  const std::string gauge = LargeGauge(kilobytes * 1024);
  std::vector<double> whole;
  std::vector<double> xml;
  std::size_t scripts = 0;
  for (int run = 0; run < runs; ++run) {
    const double start = Seconds();
    const gauge_host::XmlDocument document = gauge_host::ReadXmlDocument(gauge, "Large.xml");
    const double read = Seconds();
    if (document.not_well_formed) {
      std::fprintf(stderr, "%s\n", gauge_host::FormatDiagnostic(*document.not_well_formed).c_str());
      std::exit(1);
    }
    const gauge_host::GaugeScripts scripts_of = gauge_host::GaugeScriptsOf(document.root, "Large.xml");
    const double end = Seconds();
    whole.push_back(end - start);
    xml.push_back(read - start);
    scripts = scripts_of.scripts.size();
  }
  std::printf("  %5zu KB, %5zu scripts: %8.1f ms a load, of which %.1f ms the XML reader (median of %d)\n",
              gauge.size() / 1024, scripts, Median(whole) * 1e3, Median(xml) * 1e3, runs);
  return {gauge.size(), Median(whole), Median(xml)};
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t kilobytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 512;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  if (kilobytes < 4 || runs < 1) {
    std::fprintf(stderr, "usage: gauge_load_benchmark [KILOBYTES (4 or more)] [RUNS]\n");
    return 2;
  }
  std::printf("loading a gauge of the newer schema, written by this benchmark:\n");
  const Load small = Measure(kilobytes / 4, runs);
  const Load large = Measure(kilobytes, runs);
  const double size_ratio = static_cast<double>(large.bytes) / static_cast<double>(small.bytes);
  std::printf("%.1f times the size took %.1f times the time (%.1f for the XML reader alone)\n", size_ratio,
              large.seconds / small.seconds, large.xml_seconds / small.xml_seconds);
  return 0;
}
