// The sliders' change reactions, shared by every settings implementation:
// value labels and the temperature coupling of TrackBar2 and TrackBar1.
#pragma once

#include <string>
#include <string_view>

namespace qvx {

// Raw track-bar state, without reactions: what a slider widget holds.
class SliderControls {
 public:
  virtual ~SliderControls() = default;
  virtual int Position(std::string_view slider) const = 0;
  // Stores a position already inside the range; runs no reaction.
  virtual void StorePosition(std::string_view slider, int position) = 0;
  virtual int Minimum(std::string_view slider) const = 0;
  virtual int Maximum(std::string_view slider) const = 0;
  // Stores a new minimum; may raise the position with it; runs no reaction.
  virtual void StoreMinimum(std::string_view slider, int minimum) = 0;
  virtual void SetLabel(std::string_view label, const std::string& text) = 0;
};

// A write of a position: clamped into [minimum, maximum]; when the position
// changes, the slider's change reactions run as after a user's move.
void WriteSliderPosition(SliderControls& controls, std::string_view slider, int position);

// The reactions after a slider's position changed (user move or write).
void SliderChanged(SliderControls& controls, std::string_view slider);

// The temperature coupling: keeps TrackBar2 at or above TrackBar1 and
// refreshes Label32, Label43 and Label39.
void TrackBar2Change(SliderControls& controls);

// Creation: every value label shows its slider's position; Label39 shows
// TrackBar2's minimum.
void ShowSliderLabels(SliderControls& controls);

}  // namespace qvx
