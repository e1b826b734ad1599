#pragma once
#include <vector>

#include "tables/AtsItem.h"

namespace velkor {

class AtsLookups;

// The ATS vocabularies of one generation run: eighteen groups of items, the
// fixed vocabulary every station gets, and the two combined lists the files
// are written from. It lives for one run only.
class AtsItemTables {
public:
    // Empty groups, then the fixed lists A to E; the button lookups of lists
    // B and E run against the drawing being generated.
    explicit AtsItemTables(const AtsLookups& lookups);

    // Indication groups, in storage order.
    std::vector<AtsIndicationItem> signalIndications;
    std::vector<AtsIndicationItem> switchIndications;
    std::vector<AtsIndicationItem> sectionIndications;
    std::vector<AtsIndicationItem> sectionBaseNameIndications;
    std::vector<AtsIndicationItem> equipmentIndications;  // list A
    std::vector<AtsIndicationItem> auxiliaryIndications;  // list B
    std::vector<AtsIndicationItem> powerUpPrompts;        // list C
    std::vector<AtsIndicationItem> platformIndications;
    std::vector<AtsIndicationItem> promptMessages;  // list D
    std::vector<AtsIndicationItem> floodGateIndications;

    // Command groups, in storage order.
    std::vector<AtsCommandItem> signalButtonCommands;
    std::vector<AtsCommandItem> signalCommands;
    std::vector<AtsCommandItem> switchCommands;
    std::vector<AtsCommandItem> sectionCommands;
    std::vector<AtsCommandItem> sectionIoNameCommands;
    std::vector<AtsCommandItem> platformCommands;
    std::vector<AtsCommandItem> auxiliaryCommands;  // list E, "辅助" last
    std::vector<AtsCommandItem> floodGateCommands;

    // The combined lists refer to the items of the groups (so an item named
    // "NULL" while the text files are written keeps that name in the
    // workbook), except the renumbered copies of the auxiliary indications,
    // which the indication list owns. Built once, after the groups are final.
    void CombineIndications();
    void CombineCommands();
    const std::vector<AtsItem*>& Indications() const { return indications_; }
    const std::vector<AtsItem*>& Commands() const { return commands_; }

private:
    std::vector<AtsItem> auxiliaryCopies_;
    std::vector<AtsItem*> indications_;
    std::vector<AtsItem*> commands_;
};

}  // namespace velkor
