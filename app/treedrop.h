#pragma once
// What a drop in the address tree does: the name test and the question for
// the kind of drop, then the move or copy in one transaction and the update
// of both panes.
#include "addresspanes.h"

class CDatabase;

// Returns true when the operation was carried out.
bool RunTreeDrop(CDatabase &db, AddressPanes &panes, TreeItem *dragged, TreeItem *target, bool copy);
// Makes the tree of `panes` run RunTreeDrop on the database of the program.
void InstallTreeDrop(AddressPanes *panes);
