#pragma once

#include "core/IParameter.h"

// Display texts of the phaser's parameters. Each formatter is given the parameter's plain value
// and writes the complete text into a buffer of kParameterTextCapacity bytes.

void FormatStages(double x, char* out);
void FormatManual(double x, char* out);
void FormatPercent(double x, char* out); // Spread, Feedback, LFODepth
void FormatLFOFrequency(double x, char* out);
void FormatLFONote(double x, char* out);
void FormatMix(double x, char* out);
void FormatSyncToHost(double x, char* out);
void FormatStereo(double x, char* out);
void FormatWaveform(double x, char* out);

// The LFOSpeed formatter for the given state of SyncToHost.
ParameterDisplayFunction LFOSpeedFormatter(bool synchronised);
