#pragma once
// Whole entries of the lists: a hotel or block name longer than its list is cut off on
// screen, so each entry's tooltip and the list's own tooltip give it whole.
class QComboBox;

namespace tableau::gui {

// From now on each entry added to the list has its whole text as tooltip, and the list's
// tooltip is its current entry (none while no entry is chosen).
void MostraVociIntere(QComboBox* elenco);

}  // namespace tableau::gui
