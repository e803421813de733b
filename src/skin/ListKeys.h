#pragma once
// Lists chosen from with the arrow keys.

class QListWidget;

namespace vistorel {

// Makes the arrow keys choose in a list where nothing is chosen yet: the
// first Up or Down selects the current item (the first one, where the list
// has no other) instead of moving past it, and a list filled anew has its
// first item current, though not selected.
void ChooseWithArrows(QListWidget& list);

}  // namespace vistorel
