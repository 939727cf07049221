#pragma once
// What the main frame's print commands ask of the page shown: a page that prints
// implements it, and the frame's print, preview and print setup act only while such a page
// is the current one.

namespace qavix {

class PrintTarget {
  public:
    virtual ~PrintTarget() = default;
    // The print dialog, then printing.
    virtual void print() = 0;
    virtual void printPreview() = 0;
    // The printer's page set-up, kept for the next print or preview.
    virtual void printSetup() = 0;
};

}  // namespace qavix
