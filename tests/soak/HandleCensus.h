// Counts the GDI objects, icons and windows that this process holds, and watches every icon that
// ExtractIconA hands to code of this executable.
//
// GetGuiResources is a stub under Wine 8 (always 0), so the census reads the handle tables
// instead: Wine matches a GDI or USER handle whose upper 16 bits are 0 against the live object at
// that index, whatever its generation. Each count therefore asks every index once. That
// behaviour is Wine's, so CensusSeesNewHandles() checks that a handle created on purpose is seen.
#pragma once

#include <windows.h>

#include "tests/support/ImportPatch.h"

#include <cstddef>
#include <vector>

struct HandleCensus {
    std::size_t gdiObjects = 0;
    std::size_t icons = 0;     // icons and cursors of this process
    std::size_t windows = 0;   // windows of this thread, children included

    static HandleCensus Take();
};

// True when one brush and one icon created now raise the census by one each, and their deletion
// brings it back.
bool CensusSeesNewHandles();

// Replaces this executable's imports of ExtractIconA and DestroyIcon while it lives (one at a
// time). Every icon that ExtractIconA returns is remembered.
class IconWatch {
public:
    IconWatch();

    // A planted leak: DestroyIcon reports success and leaves the icon alive.
    void SkipDestroy(bool skip);

    std::size_t Extracted() const;
    // Icons ExtractIconA returned that are still alive (GetIconInfo still answers for them).
    std::size_t Surviving() const;
    // Destroys what a planted leak left alive.
    void DestroySurviving();

private:
    ImportPatch m_extractPatch;
    ImportPatch m_destroyPatch;
};
