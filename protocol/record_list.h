// The singly linked record lists of the protocol (DeviceList, ShareList):
// head, tail and count over records that own their `next` link.
#pragma once

// Deletes every record of list and leaves it empty.
template <typename List>
void FreeRecords(List& list) {
  auto* record = list.head;
  while (record != nullptr) {
    auto* next = record->next;
    delete record;
    record = next;
  }
  list.head = list.tail = nullptr;
  list.count = 0;
}
