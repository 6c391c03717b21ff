#include "model/event_list.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "model/event_kinds.h"

namespace vexa {
namespace {

std::unique_ptr<TEvent> Ev(uint32_t start, uint32_t number, int32_t code = kind::Fade) {
  auto e = NewEvent(code);
  e->StartTime = start;
  e->EventNumber = number;
  return e;
}

// Ownership is in the types: an owning list takes only unique_ptr, a borrowing list only raw
// pointers, so a borrowed event can never be freed by a list and an owned one never leaked.
template <class L, class A>
concept CanAdd = requires(L l, A a) {
  l.Add(std::move(a));
};
static_assert(CanAdd<TEventList, std::unique_ptr<TEvent>>);
static_assert(!CanAdd<TEventList, TEvent*>);
static_assert(CanAdd<TEventRefList, TEvent*>);
static_assert(!CanAdd<TEventRefList, std::unique_ptr<TEvent>>);
static_assert(!std::is_copy_constructible_v<TEventList>);

TEST(EventList, SortsByStartTimeUnsignedThenByEventNumber) {
  TEventList list;
  TEvent* late = list.Add(Ev(0xFFFFFFFFu, 0));
  TEvent* b = list.Add(Ev(100, 2));
  TEvent* a = list.Add(Ev(100, 1));
  TEvent* big = list.Add(Ev(0x80000000u, 0));  // negative if compared with sign
  TEvent* first = list.Add(Ev(0, 0xFFFFFFFFu));
  list.SortByTime();
  EXPECT_EQ(list[0], first);
  EXPECT_EQ(list[1], a);
  EXPECT_EQ(list[2], b);
  EXPECT_EQ(list[3], big);
  EXPECT_EQ(list[4], late);
  EXPECT_EQ(list.Last(), late);
}

TEST(EventList, CompareEventTimeIsAThreeWayOrder) {
  auto x = Ev(5, 1), y = Ev(5, 2), z = Ev(6, 0);
  EXPECT_EQ(CompareEventTime(*x, *y), -1);
  EXPECT_EQ(CompareEventTime(*y, *x), 1);
  EXPECT_EQ(CompareEventTime(*x, *x), 0);
  EXPECT_EQ(CompareEventTime(*y, *z), -1);  // start time decides before the number
  auto max = Ev(0xFFFFFFFFu, 0);
  EXPECT_EQ(CompareEventTime(*max, *z), 1);
}

TEST(EventList, BorrowingListSharesWithoutFreeing) {
  TEventList owner;
  TEvent* e1 = owner.Add(Ev(1, 0));
  TEvent* e2 = owner.Add(Ev(2, 0));
  {
    TEventRefList view;
    view.Add(e2);
    view.Insert(0, e1);
    EXPECT_EQ(view[0], e1);
    EXPECT_TRUE(view.Remove(e1));
    EXPECT_FALSE(view.Remove(e1));
    view.Clear();
    view.Add(e1);
  }  // the view dies; the events must still be alive (ASan checks the reads below)
  EXPECT_EQ(owner[0]->StartTime, 1u);
  EXPECT_EQ(owner[1]->StartTime, 2u);
}

TEST(EventList, OwningListFreesOnDeleteAndHandsOutOnExtract) {
  TEventList list;
  TEvent* a = list.Add(Ev(1, 0));
  list.Add(Ev(2, 0));
  list.Insert(99, Ev(3, 0));  // clamped to the end
  EXPECT_EQ(list.Last()->StartTime, 3u);
  std::unique_ptr<TEvent> taken = list.Extract(a);
  EXPECT_EQ(taken.get(), a);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.IndexOf(a), -1);
  EXPECT_EQ(list.Extract(a), nullptr);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  list.Delete(7);  // out of range: nothing
  EXPECT_EQ(list.Count(), 1);
  list.Clear();
  EXPECT_TRUE(list.Empty());
}

TEST(EventList, CurrentFollowsTheCursor) {
  TEventList list;
  EXPECT_EQ(list.Cursor, 0);
  EXPECT_FALSE(list.CursorLoaded);
  EXPECT_EQ(list.Current(), nullptr);
  TEvent* a = list.Add(Ev(1, 0));
  TEvent* b = list.Add(Ev(2, 0));
  EXPECT_EQ(list.Current(), a);
  list.Cursor = 1;
  EXPECT_EQ(list.Current(), b);
  list.Cursor = 2;
  EXPECT_EQ(list.Current(), nullptr);
}

TEST(EventList, MoveAndExchangeKeepEveryEvent) {
  TEventList list;
  TEvent* e[4];
  for (int i = 0; i < 4; ++i)
    e[i] = list.Add(Ev(static_cast<uint32_t>(i), 0));
  list.Move(0, 3);
  EXPECT_EQ(list[0], e[1]);
  EXPECT_EQ(list[3], e[0]);
  list.Exchange(0, 3);
  EXPECT_EQ(list[0], e[0]);
  EXPECT_EQ(list[3], e[1]);
  list.Move(0, 9);  // ignored
  int n = 0;
  for (TEvent* x : list)
    n += x != nullptr;
  EXPECT_EQ(n, 4);
}

}  // namespace
}  // namespace vexa
