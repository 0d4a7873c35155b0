#pragma once

#include <QtGlobal>

#include <algorithm>
#include <vector>

// The newest `capacity` entries of a series in time order, in memory that never grows beyond
// them: the oldest entry gives way to a new one. T has an `elapsedMs` that never decreases
// from one entry to the next.
template <typename T>
class TimeRing
{
public:
    explicit TimeRing(int capacity)
        : m_capacity(size_t(std::max(capacity, 1)))
    {}

    void append(const T &entry)
    {
        if (m_entries.size() < m_capacity) {
            // All at once: growing by doubling would pass through a third more, copied.
            if (m_entries.empty())
                m_entries.reserve(m_capacity);
            m_entries.push_back(entry);
            return;
        }
        m_entries[m_oldest] = entry;
        m_oldest = (m_oldest + 1) % m_capacity;
    }

    void clear()
    {
        m_entries.clear();
        m_entries.shrink_to_fit();
        m_oldest = 0;
    }

    int capacity() const { return int(m_capacity); }
    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    // Oldest first.
    const T &at(int index) const
    {
        return m_entries[(m_oldest + size_t(index)) % m_entries.size()];
    }
    const T &last() const { return at(size() - 1); }

    // Index of the first entry at or after `elapsedMs`; size() when there is none.
    int firstAtOrAfter(qint64 elapsedMs) const
    {
        int low = 0;
        int high = size();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (at(middle).elapsedMs < elapsedMs)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

private:
    size_t m_capacity;
    size_t m_oldest = 0; // where the oldest entry is once the ring is full
    std::vector<T> m_entries;
};
