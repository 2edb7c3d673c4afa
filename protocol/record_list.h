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

// Links record (owned from here on) at the end of list.
template <typename List, typename Record>
void AppendRecord(List& list, Record* record) {
  if (list.tail)
    list.tail->next = record;
  else
    list.head = record;
  list.tail = record;
  ++list.count;
}
