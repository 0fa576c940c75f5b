// --check AIRCRAFT_FOLDER on aircraft held in memory: the variations and their panels,
// aliases followed, each gauge line followed to its gauge in the order the simulator looks,
// and the findings of each panel. Real folders and cabinets are checked under Wine.

#include <gtest/gtest.h>

#include <map>

#include "tests/support/script_gauges.h"
#include "tools/gauge_host/check/aircraft.h"

namespace {

using gauge_host::AircraftCheck;
using gauge_host::CabinetMember;
using gauge_host::CheckSummary;

// Files by path, folders joined with '/' or '\\'; a cabinet is a file whose members are listed in
// `cabinets`, and one without a listing cannot be read as a cabinet.
struct Tree {
  std::map<std::string, std::string> files;
  std::map<std::string, std::vector<CabinetMember>> cabinets;
};

class MemoryAircraft : public gauge_host::AircraftFiles {
 public:
  explicit MemoryAircraft(const Tree& tree) : files(tree.files), cabinets(tree.cabinets) {}

  // "." is the top of the tree.
  std::optional<std::vector<std::string>> FolderEntries(const std::string& written) const override {
    const std::string folder = written.ends_with('/') ? written.substr(0, written.size() - 1) : written;
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files) {
      const bool top = folder == "." && path.find_first_of("/\\") != std::string::npos;
      if (top || (path.size() > folder.size() && path.starts_with(folder) &&
                  (path[folder.size()] == '/' || path[folder.size()] == '\\'))) {
        const std::size_t start = top ? 0 : folder.size() + 1;
        const std::string name = path.substr(start, path.find_first_of("/\\", start) - start);
        if (names.empty() || names.back() != name) {
          names.push_back(name);
        }
      }
    }
    return names.empty() ? std::nullopt : std::optional(names);
  }
  std::optional<std::string> ReadFile(const std::string& path) const override {
    const auto found = files.find(path);
    return found == files.end() ? std::nullopt : std::optional(found->second);
  }
  std::optional<std::vector<CabinetMember>> ReadCabinet(const std::string& path) const override {
    const auto found = cabinets.find(path);
    return found == cabinets.end() ? std::nullopt : std::optional(found->second);
  }

 private:
  const std::map<std::string, std::string>& files;
  const std::map<std::string, std::vector<CabinetMember>>& cabinets;
};

// A gauge file here is scripts run on a click, one a line.
void ReadScript(const std::string& file, const std::string& bytes, CheckSummary& into) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  gauge_host::AddGauge(GaugeOf(file, lines), into);
}

const std::string kModuleLine = "gauge00=Tvl_LvarSupport!Switches, 0, 0, 1, 1\n";
const std::string kPress = "1 (>L:Tvl_CallMayday, number)";
const std::string kRelease = "0 (>L:Tvl_CallMayday, number)";

struct Case {
  const char* name;
  std::string folder;  // as given on the command line
  Tree aircraft;
  std::string gauges_folder;
  std::string expected;  // the report up to the table of the variables
  std::string counts;    // its last line
};

TEST(AircraftCheckTest, VariationsPanelsAndGauges) {
  const Case cases[] = {
      {"two variations share a panel through an alias; gauges loose, in a cabinet and a module, in any letter case",
       "Sim/Airliner",
       {{{{"Sim/Airliner/aircraft.cfg", "[FLTSIM.0]\ntitle=Airliner\npanel=\n\n[fltsim.1]\ntitle = Airliner VC\n"
                                        "panel = vc\n"},
          {"Sim/Airliner/Panel/panel.cfg", "[Window00]\n" + kModuleLine + "gauge01=Cabin!Press, 10, 10\n"
                                           "gauge02=lights!dome, 20, 10\ngauge03=Cabin!Press, 30, 10\n"},
          {"Sim/Airliner/Panel/cabin/PRESS.xml", kPress + "\n" + kRelease},
          {"Sim/Airliner/Panel/Lights.CAB", ""},
          {"Sim/Airliner/panel.vc/panel.cfg", "// the virtual cockpit's\n[fltsim]\nalias = airliner\\PANEL\n"},
          {"Gauges/Tvl_LvarSupport.gau", ""}}},
         {{"Sim/Airliner/Panel/Lights.CAB", {{"Readme.txt", ""}, {"Dome.XML", "(L:Tvl_PlayMusic, number)"}}}}},
       "Gauges",
       "Sim/Airliner/aircraft.cfg: 2 variations\n"
       "  [FLTSIM.0] Airliner: Sim/Airliner/Panel/panel.cfg\n"
       "  [fltsim.1] Airliner VC: Sim/Airliner/panel.vc/panel.cfg, an alias of Sim/Airliner/Panel/panel.cfg\n"
       "\n"
       "Sim/Airliner/Panel/panel.cfg, the panel of [FLTSIM.0] and [fltsim.1]:\n"
       "  line 2: gauge00=Tvl_LvarSupport!Switches  Gauges/Tvl_LvarSupport.gau (a module: found, not read)\n"
       "  line 3: gauge01=Cabin!Press               Sim/Airliner/Panel/cabin/PRESS.xml\n"
       "  line 4: gauge02=lights!dome               Sim/Airliner/Panel/Lights.CAB/Dome.XML\n"
       "  line 5: gauge03=Cabin!Press               Sim/Airliner/Panel/cabin/PRESS.xml\n",
       "5 files, 3 references, 0 errors, 0 warnings"},

      {"in each place a gauge folder comes before a cabinet and a module; the panel folder before the gauges folder",
       "A",
       {{{{"A/aircraft.cfg", "[fltsim.0]\ntitle=A\n"},
          {"A/panel/panel.cfg", kModuleLine + "gauge01=Both!G, 1, 1\ngauge02=Shared!G, 1, 1\ngauge03=Mod!G, 1, 1\n"
                                              "gauge04=Old!G, 1, 1\ngauge05=Bare, 1, 1\n"},
          {"A/panel/Both/G.xml", ""},
          {"A/panel/Both.cab", ""},
          {"A/panel/Mod.dll", ""},
          {"A/panel/Tvl_LvarSupport.gau", ""},
          {"G/Shared/G.xml", ""},
          {"G/Mod.gau", ""},
          {"G/Old.cab", ""},
          {"G/Old.gau", ""},
          {"G/Bare.dll", ""}}},
         {{"A/panel/Both.cab", {{"G.xml", ""}}}, {"G/Old.cab", {{"G.xml", ""}}}}},
       "G",
       "A/aircraft.cfg: 1 variation\n"
       "  [fltsim.0] A: A/panel/panel.cfg\n"
       "\n"
       "A/panel/panel.cfg, the panel of [fltsim.0]:\n"
       "  line 1: gauge00=Tvl_LvarSupport!Switches  A/panel/Tvl_LvarSupport.gau (a module: found, not read)\n"
       "  line 2: gauge01=Both!G                    A/panel/Both/G.xml\n"
       "  line 3: gauge02=Shared!G                  G/Shared/G.xml\n"
       "  line 4: gauge03=Mod!G                     A/panel/Mod.dll (a module: found, not read)\n"
       "  line 5: gauge04=Old!G                     G/Old.cab/G.xml\n"
       "  line 6: gauge05=Bare                      G/Bare.dll (a module: found, not read)\n",
       "5 files, 0 references, 0 errors, 0 warnings"},

      {"gauges found nowhere, without the gauges folder; a cabinet without the gauge, and one that is none",
       "A",
       {{{{"A/aircraft.cfg", "[fltsim.0]\n"},
          {"A/panel/panel.cfg", kModuleLine + "gauge01=Cab!Missing, 1, 1\ngauge02=Broken!G, 1, 1\n"},
          {"A/panel/Cab.cab", ""},
          {"A/panel/Broken.cab", ""}}},
         {{"A/panel/Cab.cab", {{"G.xml", ""}}}}},
       "",
       "A/aircraft.cfg: 1 variation\n"
       "  [fltsim.0] (no title): A/panel/panel.cfg\n"
       "\n"
       "A/panel/panel.cfg, the panel of [fltsim.0]:\n"
       "  line 1: gauge00=Tvl_LvarSupport!Switches  not found\n"
       "  line 2: gauge01=Cab!Missing               not found\n"
       "  line 3: gauge02=Broken!G                  not found\n"
       "A/panel/Broken.cab: error: cannot be read as a cabinet (.cab) file\n"
       "A/panel/panel.cfg:1:9: warning: no gauge for this line in the panel folder (Tvl_LvarSupport/Switches.xml, "
       "Switches.xml in Tvl_LvarSupport.cab, Tvl_LvarSupport.gau or Tvl_LvarSupport.dll); give the simulator's "
       "gauges folder with --gauges to look there too\n"
       "A/panel/panel.cfg:2:9: warning: no gauge for this line in the panel folder (Cab/Missing.xml, Missing.xml in "
       "Cab.cab, Cab.gau or Cab.dll); give the simulator's gauges folder with --gauges to look there too\n"
       "A/panel/panel.cfg:3:9: warning: no gauge for this line in the panel folder (Broken/G.xml, G.xml in "
       "Broken.cab, Broken.gau or Broken.dll); give the simulator's gauges folder with --gauges to look there too\n",
       "2 files, 0 references, 1 error, 3 warnings"},

      {"variations without a panel: no folder, no panel.cfg, an alias to nowhere, aliases in a circle",
       "Sim/A",
       {{{{"Sim/A/aircraft.cfg", "[fltsim.0]\ntitle=A\npanel=cargo\n[fltsim.1]\ntitle=B\npanel=empty\n"
                                 "[fltsim.2]\npanel=lost\n[fltsim.3]\npanel=round\n[general]\npanel=x\n"},
          {"Sim/A/panel.empty/readme.txt", ""},
          {"Sim/A/panel.lost/panel.cfg", "[fltsim]\nalias=Other\\panel\n"},
          {"Sim/A/panel.round/panel.cfg", "[fltsim]\nalias=A\\panel.back\n"},
          {"Sim/A/panel.back/panel.cfg", "[fltsim]\nalias=A\\panel.round\n"}}},
         {}},
       "",
       "Sim/A/aircraft.cfg: 4 variations\n"
       "  [fltsim.0] A: no panel\n"
       "  [fltsim.1] B: no panel\n"
       "  [fltsim.2] (no title): no panel\n"
       "  [fltsim.3] (no title): no panel\n"
       "Sim/A/aircraft.cfg:3:7: error: [fltsim.0] has no panel folder panel.cargo in the aircraft folder, so the "
       "module never runs in this variation\n"
       "Sim/A/panel.back/panel.cfg:2:7: error: the alias A\\panel.round leads back to a panel it started from\n"
       "Sim/A/panel.empty/panel.cfg: error: no such file, so the panel folder has no panel\n"
       "Sim/A/panel.lost/panel.cfg:2:7: error: the alias Other\\panel names no panel folder: it is taken from the "
       "simulator's aircraft folder, the one the aircraft is in (Sim)\n",
       "4 files, 0 references, 4 errors, 0 warnings"},

      {"a panel.cfg and a gauge file that are folders",
       "A",
       {{{{"A/aircraft.cfg", "[fltsim.0]\n[fltsim.1]\npanel=b\n"},
          {"A/panel/panel.cfg", kModuleLine + "gauge01=F!G, 1, 1\n"},
          {"A/panel/F/G.xml/inside", ""},
          {"A/panel.b/panel.cfg/inside", ""},
          {"A/panel/Tvl_LvarSupport.gau", ""}}},
         {}},
       "",
       "A/aircraft.cfg: 2 variations\n"
       "  [fltsim.0] (no title): A/panel/panel.cfg\n"
       "  [fltsim.1] (no title): no panel\n"
       "A/panel.b/panel.cfg: error: cannot be read\n"
       "\n"
       "A/panel/panel.cfg, the panel of [fltsim.0]:\n"
       "  line 1: gauge00=Tvl_LvarSupport!Switches  A/panel/Tvl_LvarSupport.gau (a module: found, not read)\n"
       "  line 2: gauge01=F!G                       not found\n"
       "A/panel/F/G.xml: error: cannot be read\n"
       "A/panel/panel.cfg:2:9: warning: no gauge for this line in the panel folder (F/G.xml, G.xml in F.cab, F.gau or "
       "F.dll); give the simulator's gauges folder with --gauges to look there too\n",
       "2 files, 0 references, 2 errors, 1 warning"},

      {"a folder written with a separator after it; an alias from the folder it is in; a line without '!'",
       "Liner/",
       {{{{"Liner/aircraft.cfg", "[fltsim.0]\ntitle=One\n; panel=wrong\n// panel=wrong\n[fltsim.1]\ntitle=Two\n"
                                 "panel=two\n[fltsim.x]\npanel=x\n[fltsim.]\n[fltsim.2]\ntitle=Three\n"},
          {"Liner/panel/panel.cfg", kModuleLine + "gauge01=Bare, 1, 1\n"},
          {"Liner/panel/Tvl_LvarSupport.gau", ""},
          {"Liner/panel.two/panel.cfg", "[fltsim]\nalias=.\\Liner\\\\panel\n"}}},
         {}},
       "Nowhere",
       "Liner/aircraft.cfg: 3 variations\n"
       "  [fltsim.0] One: Liner/panel/panel.cfg\n"
       "  [fltsim.1] Two: Liner/panel.two/panel.cfg, an alias of Liner/panel/panel.cfg\n"
       "  [fltsim.2] Three: Liner/panel/panel.cfg\n"
       "\n"
       "Liner/panel/panel.cfg, the panel of [fltsim.0], [fltsim.1] and [fltsim.2]:\n"
       "  line 1: gauge00=Tvl_LvarSupport!Switches  Liner/panel/Tvl_LvarSupport.gau (a module: found, not read)\n"
       "  line 2: gauge01=Bare                      not found\n"
       "Liner/panel/panel.cfg:2:9: warning: no gauge for this line in the panel folder or the gauges folder (Bare.gau "
       "or Bare.dll)\n",
       "3 files, 0 references, 0 errors, 1 warning"},

      {"an aircraft.cfg without variations",
       "A",
       {{{{"A/aircraft.cfg", "[general]\natc_type=x\n"}}}, {}},
       "",
       "A/aircraft.cfg: 0 variations\n"
       "A/aircraft.cfg:1:1: error: no variation: the simulator loads an aircraft by its [fltsim.0], [fltsim.1]... "
       "sections\n",
       "1 file, 0 references, 1 error, 0 warnings"},

      // A gauge of the gauges folder that presses, released by another gauge in one panel
      // only; its misspelt name is found in both panels, and counted once.
      {"findings per panel, a shared gauge's in each panel that uses it",
       "S\\A",
       {{{{"S\\A\\aircraft.cfg", "[fltsim.0]\npanel=\n[fltsim.1]\npanel=cargo\n"},
          {"S\\A\\panel\\panel.cfg", kModuleLine + "gauge01=B!Press, 1, 1\ngauge02=B!Release, 1, 1\n"},
          {"S\\A\\panel.cargo\\panel.cfg", "[Window00]\n" + kModuleLine + "gauge01=B!Press, 1, 1\n"},
          {"S\\G\\B\\Press.xml", kPress + "\n(L:Tvl_Playmusic, number)"},
          {"S\\G\\B\\Release.xml", kRelease}}},
         {}},
       "S\\G",
       "S\\A\\aircraft.cfg: 2 variations\n"
       "  [fltsim.0] (no title): S\\A\\panel\\panel.cfg\n"
       "  [fltsim.1] (no title): S\\A\\panel.cargo\\panel.cfg\n"
       "\n"
       "S\\A\\panel\\panel.cfg, the panel of [fltsim.0]:\n"
       "  line 1: gauge00=Tvl_LvarSupport!Switches  not found\n"
       "  line 2: gauge01=B!Press                   S\\G\\B\\Press.xml\n"
       "  line 3: gauge02=B!Release                 S\\G\\B\\Release.xml\n"
       "S\\A\\panel\\panel.cfg:1:9: warning: no gauge for this line in the panel folder or the gauges folder "
       "(Tvl_LvarSupport\\Switches.xml, Switches.xml in Tvl_LvarSupport.cab, Tvl_LvarSupport.gau or "
       "Tvl_LvarSupport.dll)\n"
       "S\\G\\B\\Press.xml:2:1: error: 'Tvl_Playmusic' is not one of the module's variables; did you mean "
       "Tvl_PlayMusic?\n"
       "\n"
       "S\\A\\panel.cargo\\panel.cfg, the panel of [fltsim.1]:\n"
       "  line 2: gauge00=Tvl_LvarSupport!Switches  not found\n"
       "  line 3: gauge01=B!Press                   S\\G\\B\\Press.xml\n"
       "S\\A\\panel.cargo\\panel.cfg:2:9: warning: no gauge for this line in the panel folder or the gauges folder "
       "(Tvl_LvarSupport\\Switches.xml, Switches.xml in Tvl_LvarSupport.cab, Tvl_LvarSupport.gau or "
       "Tvl_LvarSupport.dll)\n"
       "S\\G\\B\\Press.xml:1:3: error: Tvl_CallMayday is set to 1 and never back to 0: the module sends the chord "
       "when it goes from 0 to 1; nothing sets it back to 0, so it fires once\n"
       "S\\G\\B\\Press.xml:2:1: error: 'Tvl_Playmusic' is not one of the module's variables; did you mean "
       "Tvl_PlayMusic?\n",
       "5 files, 3 references, 2 errors, 2 warnings"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AircraftCheck check =
        gauge_host::CheckAircraft(c.folder, c.gauges_folder, MemoryAircraft(c.aircraft), ReadScript);
    EXPECT_FALSE(check.unreadable);
    EXPECT_EQ(check.report.substr(0, check.report.find("\nThe module's variables")), c.expected);
    EXPECT_TRUE(check.report.ends_with("\n" + c.counts + "\n")) << check.report;
    const std::size_t errors_at = c.counts.rfind(", ", c.counts.find(" error")) + 2;
    EXPECT_EQ(check.errors, std::stoul(c.counts.substr(errors_at)));
  }
}

TEST(AircraftCheckTest, AnAircraftCfgThatCannotBeRead) {
  const Tree tree{{{"A/aircraft.cfg/inside", ""}}, {}};
  const AircraftCheck check = gauge_host::CheckAircraft("A", "", MemoryAircraft(tree), ReadScript);
  EXPECT_TRUE(check.unreadable);
  EXPECT_EQ(check.report, "A/aircraft.cfg: error: cannot be read\n");
}

TEST(AircraftCheckTest, WhatIsAnAircraftAndAnAlias) {
  const Tree tree{{{"Sim/A/Aircraft.CFG", ""}, {"Sim/B/panel.cfg", ""}}, {}};
  const MemoryAircraft aircraft(tree);
  EXPECT_TRUE(gauge_host::IsAircraftFolder("Sim/A", aircraft));
  EXPECT_FALSE(gauge_host::IsAircraftFolder("Sim/B", aircraft));
  EXPECT_FALSE(gauge_host::IsAircraftFolder("Sim/C", aircraft));
  EXPECT_EQ(gauge_host::PanelAlias("[FLTSIM]\r\nAlias = Other\\panel \r\n"), "Other\\panel");
  EXPECT_EQ(gauge_host::PanelAlias("[Window00]\nalias=Other\\panel\n"), std::nullopt);
}

}  // namespace
