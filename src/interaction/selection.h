#pragma once
// Animated change of the function view to one of the "Auswahl" items:
// 0 all functions, 1..4 scaling function and wavelets 1..3 close up.

void SelectFunction(int item);
