#pragma once
// A list of the subscribers to something the device makes (its refreshes, its sound, its events), each known by
// the number Subscribe gave it and handed what is made in the order they subscribed. A subscriber may leave, or
// make another leave, while it is handed something.

#include <algorithm>
#include <utility>
#include <vector>

template <typename TTake, typename TState = int>
struct TSubscribers {
    struct TEntry {
        int Id;
        TTake Take;
        TState State; // what the list's owner keeps for each subscriber
    };
    std::vector<TEntry> Entries;
    int Last = 0;
};

template <typename TTake, typename TState>
int Subscribe(TSubscribers<TTake, TState>& List, TTake Take, TState State = {})
{
    List.Entries.push_back({++List.Last, std::move(Take), std::move(State)});
    return List.Last;
}

template <typename TTake, typename TState>
void Unsubscribe(TSubscribers<TTake, TState>& List, int Id)
{
    auto& Entries = List.Entries;
    Entries.erase(std::remove_if(Entries.begin(), Entries.end(), [Id](const auto& Entry) { return Entry.Id == Id; }),
                  Entries.end());
}

template <typename TTake, typename TState>
typename TSubscribers<TTake, TState>::TEntry* FindSubscriber(TSubscribers<TTake, TState>& List, int Id)
{
    for (auto& Entry : List.Entries)
        if (Entry.Id == Id)
            return &Entry;
    return nullptr;
}

// Visit(Id) for each subscriber of the list as it stands now, in order; one that leaves before its turn is passed
// over, and one that subscribes meanwhile waits for the next time.
template <typename TTake, typename TState, typename TVisit>
void VisitSubscribers(TSubscribers<TTake, TState>& List, TVisit Visit)
{
    const int Newest = List.Last;
    for (int After = 0;;) {
        const auto Next = std::find_if(List.Entries.begin(), List.Entries.end(),
                                       [After](const auto& Entry) { return Entry.Id > After; });
        if (Next == List.Entries.end() || Next->Id > Newest)
            return;
        After = Next->Id;
        Visit(After);
    }
}

// Hands each subscriber what was made; a copy of its call, since it may leave while it runs.
template <typename TTake, typename TState, typename... TArguments>
void HandToSubscribers(TSubscribers<TTake, TState>& List, const TArguments&... Arguments)
{
    VisitSubscribers(
        List,
        [&](int Id) {
            const TTake Take = FindSubscriber(List, Id)->Take;
            Take(Arguments...);
        });
}
