#pragma once

#include "core/IParameter.h"

#include <cmath>
#include <cstdint>

// What the binding and the bundle's Turtle share: the identities, the library's name and the port
// layout. Ports 0 to 9 are the parameters by index, holding their values in their own units
// (IParameter::UnitValue);
// then the audio ports and the atom port that brings the host's transport.

constexpr const char* kLv2PluginUri = "urn:kestrunelle:phaser";
constexpr const char* kLv2UiUri = "urn:kestrunelle:phaser#ui";
constexpr const char* kLv2StateKeyUri = "urn:kestrunelle:phaser#chunk";
constexpr const char* kLv2LibraryName = "KSPhaser.so";

constexpr uint32_t kLv2ParameterPortCount = 10;
constexpr uint32_t kLv2AudioInPorts[2] = {10, 11};
constexpr uint32_t kLv2AudioOutPorts[2] = {12, 13};
constexpr uint32_t kLv2TransportPort = 14;
constexpr uint32_t kLv2PortCount = 15;

// The control ports' symbols, by parameter index.
constexpr const char* kLv2ParameterSymbols[kLv2ParameterPortCount] = {
    "stages", "manual", "spread", "feedback", "lfo_speed", "lfo_depth", "mix", "sync", "stereo", "waveform"};

// [any] No lock. The plain value of a control port's value (IParameter::UnitValue of it); stepped
// ones to the nearest step.
inline double Lv2PlainValue(const IParameter& parameter, double portValue) {
    return parameter.StepCount() > 0 ? std::floor(portValue + 0.5) : portValue / parameter.UnitScale();
}
