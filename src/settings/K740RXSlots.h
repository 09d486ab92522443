#pragma once
// How many receivers the program drives at most: the slots of the settings, the receiver manager
// and the window.
constexpr int kK740RXSlotCount = 8;
