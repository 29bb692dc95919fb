#pragma once

// Lets the colour menu's "gradual" and "pattern" entries run the gradient
// and pattern editors. The menu sits in a library below this one, so the
// program (or a test) installs them once.
class CFillEditors
{
public:
    static void install();
};
