#pragma once

// True when the process runs under Wine (its registry key "Software\Wine" exists). Asked
// once per process, on first need.
bool PIX_RunningUnderWine();
