// Thousands of seeded random frame sequences through the real GaugeCallback and through
// the reference model, compared after every frame.

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "tests/support/bridge_driver.h"
#include "tests/support/bridge_report.h"
#include "tests/support/fresh_module.h"

namespace {

constexpr std::uint32_t kFirstSeed = 20261208;
constexpr int kSequences = 400;
constexpr int kFramesPerSequence = 40;

class StepGenerator {
 public:
  explicit StepGenerator(std::uint32_t seed) : random_(seed) {}

  bool Chance(double probability) { return std::bernoulli_distribution(probability)(random_); }
  int Below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(random_); }

  // Mostly the values panels write, with the odd extreme; empty makes the variable
  // never-written again (a read that stores nothing, where the host is set so).
  std::optional<std::int32_t> PanelValue() {
    static const std::int32_t kValues[] = {0, 0, 0, 1, 1, 1, 2, 2, -1, 5, INT_MIN, INT_MAX};
    if (Chance(0.08)) {
      return std::nullopt;
    }
    return kValues[Below(static_cast<int>(std::size(kValues)))];
  }

  model::Step Next() {
    model::Step step;
    if (Chance(0.05)) {
      static const std::int32_t kOtherCodes[] = {0, 1, 9, 11, -10, INT_MIN};
      step.service_code = kOtherCodes[Below(static_cast<int>(std::size(kOtherCodes)))];
    }
    for (int sets = Below(4); sets > 0; --sets) {
      step.panel_sets.push_back({Below(model::kVariableCount), PanelValue()});
    }
    if (Chance(0.1)) {
      step.addon_event = static_cast<model::AddonEvent>(1 + Below(5));
    }
    if (Chance(0.15)) {
      step.addon_sets_field = Chance(0.7) ? Below(2) : PanelValue().value_or(7);
    }
    if (Chance(0.05)) {
      step.main_window = Chance(0.7);
    }
    return step;
  }

 private:
  std::mt19937 random_;
};

TEST(ModelTest, RandomFrameSequencesMatchTheModel) {
  int frames = 0;
  for (std::uint32_t seed = kFirstSeed; seed < kFirstSeed + kSequences; ++seed) {
    StepGenerator generator(seed);
    const bool unset_reads_store_zero = generator.Chance(0.5);
    StartFreshModule();
    model::StartRealWorld(unset_reads_store_zero);
    model::Model model(unset_reads_store_zero);

    std::vector<model::Step> steps;
    // Some sequences start with the add-on loaded and the main window there.
    model::Step first = generator.Next();
    if (generator.Chance(0.5)) {
      first.addon_event = model::AddonEvent::kLoad;
    }
    first.main_window = generator.Chance(0.8);
    steps.push_back(first);
    while (steps.size() < kFramesPerSequence) {
      steps.push_back(generator.Next());
    }

    for (std::size_t frame = 0; frame < steps.size(); ++frame) {
      const model::Outcome expected = model.Run(steps[frame]);
      const model::Outcome actual = model::RunReal(steps[frame]);
      ++frames;
      const std::string difference = model::Difference(expected, actual);
      if (!difference.empty()) {
        std::string history;
        for (std::size_t earlier = 0; earlier <= frame; ++earlier) {
          history += "  frame " + std::to_string(earlier + 1) + ": " + model::Describe(steps[earlier]) + "\n";
        }
        FAIL() << "seed " << seed << ", frame " << frame + 1 << " differs from the model\n"
               << difference << "steps:\n" << history;
      }
    }
  }
  EXPECT_EQ(frames, kSequences * kFramesPerSequence);
}

}  // namespace
