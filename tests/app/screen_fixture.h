// Screens on the headless back end with the main panel loaded and a serial
// link open on the simulated instrument, through a line that notes every
// request and can silence chosen ones.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/com.h"
#include "sim/com_device.h"
#include "sim/instrument.h"

namespace apptest {

// The simulated instrument's port. Requests are counted at their
// terminator, before the instrument sees it, so `silence` can decide
// whether this one goes unanswered.
class ScriptedLine : public platform::ComDevice {
public:
    explicit ScriptedLine(sim::Instrument &instrument) : inner_(instrument) {}
    void Write(const unsigned char *data, std::size_t count) override;
    std::size_t Read(unsigned char *data, std::size_t count, double timeout) override {
        return inner_.Read(data, count, timeout);
    }
    std::size_t Available() override { return inner_.Available(); }
    void DiscardInput() override { inner_.DiscardInput(); }

    // (request number from 1, command code) -> leave it unanswered.
    std::function<bool(int, int)> silence;
    std::vector<int> commands;  // command code of every request, in order
    std::string written;        // every byte the program sent

    int Count(int command) const;
    void Forget() { commands.clear(), written.clear(); }

private:
    sim::SimComDevice inner_;
    std::string frame_;
    bool inFrame_ = false;
    bool scripted_ = false;  // the last request was silenced by the script
};

class ScreenTest : public ::testing::Test {
protected:
    static constexpr int kPort = 61;
    void SetUp() override;
    void TearDown() override;

    // One tick of the polling timer, as the timer gives it.
    void Tick();
    // Main panel readings.
    std::string Status();
    int StatusColour();
    std::string Name();
    int Attribute(int panel, int control, int attribute);
    double Value(int panel, int control);
    bool TimerEnabled();
    // The texts of the popups shown so far, as "title|text".
    std::vector<std::string> Messages();

    sim::Instrument instrument;
    ScriptedLine line{instrument};
};

}  // namespace apptest
