#pragma once
// The address-book commands of the main window: Folder New, Rename, Delete
// and Move, Address Copy, Move and Mass move, and Search; also the drag and
// drop of the address tree and the images of the folder chooser trees.
class CMainFrame;

void RegisterAddressBookCommands(CMainFrame *frame);
