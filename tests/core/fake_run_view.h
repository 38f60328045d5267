#pragma once

#include <functional>
#include <string>
#include <vector>

#include "fake_picture.h"
#include "fake_window.h"
#include "run/run_view.h"

namespace rdsim::testing {

// The window as the run behaviours see it: the fake boxes, three plain
// pictures, and a record of the captions, the counter, the yields, the
// recording and the notices.
struct FakeRunView : FakeBoxes, RunView {
  FakePicture activator{16, 62}, inhibitor{16, 62}, field{16, 16};
  std::vector<bool> captions;
  std::int64_t count = 0, yields = 0, reads = 0;
  std::function<void()> atYield;
  std::string recordingFile;
  std::int64_t recordingFrames = 0;
  std::vector<std::string> notices;

  std::string CoefficientText(int k) const override { return FakeBoxes::CoefficientText(k); }
  std::string IterationsText() const override { return FakeBoxes::IterationsText(); }
  std::string SizeText() const override { return FakeBoxes::SizeText(); }
  void SetSizeText(const std::string& text) override { FakeBoxes::SetSizeText(text); }
  Mode SelectedMode() const override { return FakeBoxes::SelectedMode(); }
  Picture& ActivatorProfile() override { return activator; }
  Picture& InhibitorProfile() override { return inhibitor; }
  Picture& Field() override { return field; }
  void FitPictures(Mode, std::int32_t) override {}
  void ShowModeControls(Mode) override {}
  void ShowRunning(bool running) override { captions.push_back(running); }
  void ShowStepCount(std::int64_t c) override { count = c; }
  void Yield() override {
    ++yields;
    if (atYield) atYield();
  }
  void WaitForEvents(std::int64_t) override {}
  bool Closing() const override { return false; }
  void ShowRecording(const std::string& file, std::int64_t frames) override {
    recordingFile = file;
    recordingFrames = frames;
  }
  void Notify(const std::string& message) override { notices.push_back(message); }
  void ParametersRead() override { ++reads; }
};

}  // namespace rdsim::testing
