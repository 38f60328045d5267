#pragma once

// Heap allocations made through operator new since the program started, so
// the report can show that a step makes none.
long HeapAllocations();
