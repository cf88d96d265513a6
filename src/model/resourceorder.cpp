#include "model/resourceorder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <utility>

namespace {

constexpr qint64 kBusStep = 1000;
constexpr qint64 kUnfiledOwner = std::numeric_limits<qint64>::max();
const NodeId_t kNoId;

// QUuid's own order, with each id's variant worked out once rather than on every comparison.
struct IdOrderEntry
{
    int variant;
    const NodeId_t* id;
    const IoResource::Ptr_t* resource;

    bool operator<(const IdOrderEntry& o) const
    {
        if (variant != o.variant)
            return variant < o.variant;
        if (id->data1 != o.id->data1)
            return id->data1 < o.id->data1;
        if (id->data2 != o.id->data2)
            return id->data2 < o.id->data2;
        if (id->data3 != o.id->data3)
            return id->data3 < o.id->data3;
        return std::memcmp(id->data4, o.id->data4, sizeof id->data4) < 0;
    }
};

// The filed resources in id order.
std::vector<IdOrderEntry> inIdOrder(const QHash<NodeId_t, IoResource::Ptr_t>& filed)
{
    std::vector<IdOrderEntry> entries;
    entries.reserve(std::size_t(filed.size()));
    for (auto it = filed.cbegin(); it != filed.cend(); ++it)
        entries.push_back({int(it.key().variant()), &it.key(), &it.value()});
    std::sort(entries.begin(), entries.end());
    return entries;
}

// A resource's place in resource order, short of its id: its owner's rank (owned resources first,
// by their owner's bus key), its owner's id, its index.
struct OrderKey
{
    qint64 rank;
    const NodeId_t* owner;
    qint32 index;

    bool operator<(const OrderKey& o) const
    {
        if (rank != o.rank)
            return rank < o.rank;
        if (owner != o.owner && *owner != *o.owner)
            return *owner < *o.owner;
        return index < o.index;
    }
};

// The keys of a list's resources one by one, for a walk that checks an order. The resources of
// one owner come in runs: the owner is looked up once per run, and its resources share one owner
// pointer, so that comparing them does not compare ids.
template <typename RankOf>
class OrderKeys
{
public:
    explicit OrderKeys(const RankOf& rankOf)
        : m_rankOf(rankOf)
    {
    }

    OrderKey operator()(const IoResource* r)
    {
        const NodeId_t& owner = r ? r->owner() : kNoId;
        if (!m_last || (m_last != &owner && *m_last != owner)) {
            m_last = &owner;
            m_rank = m_rankOf(owner);
        }
        return {m_rank, m_last, r ? r->index() : 0};
    }

private:
    const RankOf& m_rankOf;
    const NodeId_t* m_last = nullptr;
    qint64 m_rank = 0;
};

// Whether a list is in resource order as it stands, ties in any order: one pass that allocates
// nothing, for the lists that are in order already, as most are. at(i) gives the list's i-th
// resource, or null.
template <typename At, typename RankOf>
bool inResourceOrder(int count, const At& at, const RankOf& rankOf)
{
    OrderKeys<RankOf> keyOf(rankOf);
    OrderKey previous{0, nullptr, 0};
    for (int i = 0; i < count; ++i) {
        const OrderKey key = keyOf(at(i));
        if (i > 0 && key < previous)
            return false;
        previous = key;
    }
    return true;
}

// A list position and its resource's place in resource order short of its id, in one integer:
// the owner's ordinal among the list's owners above the index.
struct Placed
{
    quint64 key;
    int position;
};

// The places of a list's resources: each owner is ranked once, so that the sort compares integers
// only. at(i) gives the list's i-th resource, or null.
template <typename At, typename RankOf>
std::vector<Placed> placesOf(int count, const At& at, const RankOf& rankOf)
{
    struct Owner
    {
        qint64 rank;
        const NodeId_t* id;
    };
    std::vector<Owner> owners;
    // Most lists have an owner or two: they are searched in place; a long list of owners is hashed.
    QHash<NodeId_t, int> ownerSlot;
    std::vector<int> ownerOf(std::size_t(count), 0);
    std::vector<Placed> places;
    places.reserve(std::size_t(count));
    const NodeId_t* last = nullptr;
    int lastSlot = 0;
    constexpr std::size_t searchedOwners = 8;
    for (int i = 0; i < count; ++i) {
        const IoResource* r = at(i);
        const NodeId_t& owner = r ? r->owner() : kNoId;
        if (!last || (last != &owner && *last != owner)) {
            int slot = -1;
            if (owners.size() <= searchedOwners) {
                for (std::size_t k = 0; k < owners.size() && slot < 0; ++k) {
                    if (*owners[k].id == owner)
                        slot = int(k);
                }
            } else {
                slot = ownerSlot.value(owner, -1);
            }
            if (slot < 0) {
                slot = int(owners.size());
                owners.push_back({rankOf(owner), &owner});
                if (owners.size() > searchedOwners) {
                    if (ownerSlot.isEmpty()) {
                        for (std::size_t k = 0; k < owners.size(); ++k)
                            ownerSlot.insert(*owners[k].id, int(k));
                    } else {
                        ownerSlot.insert(owner, slot);
                    }
                }
            }
            last = &owner;
            lastSlot = slot;
        }
        ownerOf[std::size_t(i)] = lastSlot;
        places.push_back({quint64(quint32(r ? r->index() : 0) ^ 0x80000000u), i});
    }
    std::vector<int> byRank(owners.size());
    std::iota(byRank.begin(), byRank.end(), 0);
    std::sort(byRank.begin(), byRank.end(), [&owners](int a, int b) {
        const Owner& x = owners[std::size_t(a)];
        const Owner& y = owners[std::size_t(b)];
        return x.rank != y.rank ? x.rank < y.rank : *x.id < *y.id;
    });
    std::vector<quint64> ordinal(owners.size());
    for (std::size_t k = 0; k < byRank.size(); ++k)
        ordinal[std::size_t(byRank[k])] = quint64(k) << 32;
    for (std::size_t i = 0; i < places.size(); ++i)
        places[i].key |= ordinal[std::size_t(ownerOf[i])];
    return places;
}

// Puts the places into resource order; false when they were in it. Ties (one owner, one index)
// keep the order given, or go in id order when byId holds: a total order, under which a list
// comes out the same whatever order it was in.
template <typename At>
bool sortPlaces(std::vector<Placed>& places, const At& at, bool byId)
{
    if (byId) {
        const auto less = [&at](const Placed& a, const Placed& b) {
            if (a.key != b.key)
                return a.key < b.key;
            return at(a.position)->id() < at(b.position)->id();
        };
        if (std::is_sorted(places.cbegin(), places.cend(), less))
            return false;
        // A whole kind spans hundreds of owners with a dozen resources each: the places are dealt
        // out by owner first, and only each owner's few are sorted, which keeps the work linear.
        const auto ownerOf = [](const Placed& p) { return std::size_t(p.key >> 32); };
        std::size_t owners = 0;
        for (const Placed& p : places)
            owners = std::max(owners, ownerOf(p) + 1);
        std::vector<std::size_t> firstOf(owners + 1, 0);
        for (const Placed& p : places)
            ++firstOf[ownerOf(p) + 1];
        std::partial_sum(firstOf.begin(), firstOf.end(), firstOf.begin());
        std::vector<Placed> dealt(places.size());
        std::vector<std::size_t> next(firstOf.begin(), firstOf.end() - 1);
        for (const Placed& p : places)
            dealt[next[ownerOf(p)]++] = p;
        for (std::size_t owner = 0; owner < owners; ++owner) {
            std::sort(dealt.begin() + std::ptrdiff_t(firstOf[owner]),
                      dealt.begin() + std::ptrdiff_t(firstOf[owner + 1]), less);
        }
        places.swap(dealt);
        return true;
    }
    const auto less = [](const Placed& a, const Placed& b) { return a.key < b.key; };
    if (std::is_sorted(places.cbegin(), places.cend(), less))
        return false;
    std::stable_sort(places.begin(), places.end(), less);
    return true;
}

void swapItems(ResourceOrder::Resources_t& list, int a, int b)
{
    list.swapItemsAt(a, b);
}

void swapItems(ResourceOrder::KindList& list, int a, int b)
{
    std::swap(list[std::size_t(a)], list[std::size_t(b)]);
}

} // namespace

ResourceOrder::ResourceOrder(const QHash<NodeId_t, IoResource::Ptr_t>& resources,
                             const QHash<NodeId_t, Device::Ptr_t>& devices)
    : m_filed(resources)
    , m_devices(devices)
{
}

qint64 ResourceOrder::busSlot(int number)
{
    return (qint64(number) + 1) * kBusStep;
}

qint64 ResourceOrder::busKey(const Device& device) const
{
    const auto up = m_devices.constFind(device.owner());
    if (up != m_devices.cend())
        return busSlot(up.value()->number()) + device.number();
    return busSlot(device.number());
}

qint64 ResourceOrder::ownerRank(const NodeId_t& owner) const
{
    const auto d = m_devices.constFind(owner);
    return d == m_devices.cend() ? kUnfiledOwner : busKey(*d.value());
}

bool ResourceOrder::less(const IoResource::Ptr_t& a, const IoResource::Ptr_t& b) const
{
    if (!a || !b)
        return false;
    const Device::Ptr_t ownerA = m_devices.value(a->owner());
    const Device::Ptr_t ownerB = m_devices.value(b->owner());
    if (!ownerA || !ownerB)
        return false;
    if (ownerA == ownerB)
        return a->index() < b->index();
    return busKey(*ownerA) < busKey(*ownerB);
}

void ResourceOrder::sort(Resources_t& resources) const
{
    sortList(resources);
}

void ResourceOrder::sort(KindList& resources) const
{
    sortList(resources);
}

template <typename List>
void ResourceOrder::sortList(List& list) const
{
    // less() is not a strict weak order (a resource without owner compares with nothing), and
    // std::sort may run off the range with such a comparator: the sort is on a total key that
    // refines it. The keys sort, not the shared pointers: moving those costs a reference count
    // each time.
    if (list.size() < 2)
        return;
    const auto rankOf = [this](const NodeId_t& owner) { return ownerRank(owner); };
    const auto at = [&list](int i) { return qAsConst(list)[decltype(list.size())(i)].data(); };
    if (inResourceOrder(int(list.size()), at, rankOf))
        return;
    std::vector<Placed> order = placesOf(int(list.size()), at, rankOf);
    if (!sortPlaces(order, at, false))
        return;
    // Place k takes the item at order[k]: each cycle of that permutation is walked once, swapping
    // the list's own slots.
    std::vector<bool> placed(order.size(), false);
    for (int start = 0; start < int(order.size()); ++start) {
        if (placed[std::size_t(start)])
            continue;
        int k = start;
        placed[std::size_t(k)] = true;
        while (order[std::size_t(k)].position != start) {
            const int from = order[std::size_t(k)].position;
            swapItems(list, k, from);
            k = from;
            placed[std::size_t(k)] = true;
        }
    }
}

void ResourceOrder::changed(int kind)
{
    m_byIdStale = true;
    const bool oneKind = ResourceKind::isMade(kind);
    if (oneKind && (m_staleKinds & (1u << kind)))
        return;
    // Let go of the listed resources at once: one that left the model must not live on here.
    for (int k = ResourceKind::Ain; k <= ResourceKind::SerialPort; ++k) {
        const unsigned bit = 1u << k;
        if ((kind == ResourceKind::None || kind == k) && !(m_staleKinds & bit)) {
            m_staleKinds |= bit;
            m_unorderedKinds &= ~bit;
            m_filedOfKind[std::size_t(k)].clear();
            m_kindInOrder[std::size_t(k)].clear();
            m_kindLists[std::size_t(k)].clear();
            m_kindListsMade[std::size_t(k)] = false;
        }
    }
}

void ResourceOrder::clear()
{
    m_byIdStale = false;
    m_byId.clear();
    for (KindList& list : m_kindInOrder)
        list.clear();
    for (Resources_t& list : m_kindLists)
        list.clear();
    m_kindListsMade.fill(false);
    for (KindList& filed : m_filedOfKind)
        filed.clear();
    m_staleKinds = 0;
    m_unorderedKinds = 0;
}

const QMap<NodeId_t, IoResource::Ptr_t>& ResourceOrder::byId()
{
    if (m_byIdStale) {
        m_byIdStale = false;
        m_byId.clear();
        // In ascending order each id goes last: the hint spares the search from the root.
        for (const IdOrderEntry& e : inIdOrder(m_filed))
            m_byId.insert(m_byId.cend(), *e.id, *e.resource);
    }
    return m_byId;
}

void ResourceOrder::collectKinds()
{
    for (std::size_t kind = 0; kind < m_filedOfKind.size(); ++kind) {
        if (m_staleKinds & (1u << kind))
            m_filedOfKind[kind].clear();
    }
    for (auto it = m_filed.cbegin(); it != m_filed.cend(); ++it) {
        const int kind = it.value()->kind();
        if (ResourceKind::isMade(kind) && (m_staleKinds & (1u << kind)))
            m_filedOfKind[std::size_t(kind)].push_back(it.value());
    }
    m_unorderedKinds |= m_staleKinds;
    m_staleKinds = 0;
}

void ResourceOrder::orderKind(int kind)
{
    const std::size_t k = std::size_t(kind);
    KindList& filed = m_filedOfKind[k];
    const auto rankOf = [this](const NodeId_t& owner) { return ownerRank(owner); };
    const auto at = [&filed](int i) { return filed[std::size_t(i)].data(); };
    std::vector<Placed> places = placesOf(int(filed.size()), at, rankOf);
    sortPlaces(places, at, true);
    KindList& list = m_kindInOrder[k];
    list.clear();
    list.reserve(places.size());
    for (const Placed& p : places)
        list.push_back(std::move(filed[std::size_t(p.position)]));
    filed.clear();
    m_unorderedKinds &= ~(1u << kind);
}

const ResourceOrder::KindList& ResourceOrder::ofKind(int kind)
{
    if (m_staleKinds & (1u << kind))
        collectKinds();
    if (m_unorderedKinds & (1u << kind))
        orderKind(kind);
    const std::size_t k = std::size_t(kind);
    KindList& list = m_kindInOrder[k];
    const auto rankOf = [this](const NodeId_t& owner) { return ownerRank(owner); };
    OrderKeys<decltype(rankOf)> keyOf(rankOf);
    bool ordered = true;
    OrderKey previous{0, nullptr, 0};
    for (std::size_t i = 0; i < list.size() && ordered; ++i) {
        const IoResource* r = list[i].data();
        const OrderKey key = keyOf(r);
        if (i > 0)
            ordered = previous < key || (!(key < previous) && list[i - 1]->id() < r->id());
        previous = key;
    }
    if (!ordered) {
        const auto at = [&list](int i) { return list[std::size_t(i)].data(); };
        std::vector<Placed> places = placesOf(int(list.size()), at, rankOf);
        sortPlaces(places, at, true);
        KindList sorted;
        sorted.reserve(list.size());
        for (const Placed& p : places)
            sorted.push_back(list[std::size_t(p.position)]);
        list.swap(sorted);
        m_kindLists[k].clear();
        m_kindListsMade[k] = false;
    }
    return list;
}

ResourceOrder::Resources_t ResourceOrder::listOfKind(int kind)
{
    if (!ResourceKind::isMade(kind)) {
        // No kind the model makes: found by a walk, as any list would be.
        Resources_t list;
        for (const IdOrderEntry& e : inIdOrder(m_filed)) {
            if ((*e.resource)->kind() == kind)
                list.append(*e.resource);
        }
        sort(list);
        return list;
    }
    const KindList& ordered = ofKind(kind);
    const std::size_t k = std::size_t(kind);
    if (!m_kindListsMade[k]) {
        Resources_t list;
        list.reserve(int(ordered.size()));
        for (const IoResource::Ptr_t& r : ordered)
            list.append(r);
        m_kindLists[k] = list;
        m_kindListsMade[k] = true;
    }
    return m_kindLists[k];
}
