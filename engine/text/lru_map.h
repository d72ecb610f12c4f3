// A least-recently-used map with a budget of entries and of bytes: the one way the font and text
// caches stay bounded however long a host runs and whatever names its callers make up.
#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace plotwise {

template <typename Value>
class LruMap {
public:
    // Bookkeeping of one entry beyond its key and value (list node, hash node).
    static constexpr std::size_t kEntryOverhead = 96;

    LruMap(std::size_t max_entries, std::size_t max_bytes) : max_entries_(max_entries), max_bytes_(max_bytes) {}

    // The value of a key, now the most recently used; null when absent.
    Value* find(std::string_view key) {
        const auto it = index_.find(key);
        if (it == index_.end()) return nullptr;
        order_.splice(order_.begin(), order_, it->second);
        return &it->second->value;
    }

    // Adds a value under a key, replacing the one it had, as the most recently used; `bytes`
    // is what the value holds beyond its own size.
    Value& add(std::string key, Value value, std::size_t bytes) {
        remove(key);
        order_.push_front(Node{std::move(key), std::move(value), 0});
        index_.emplace(order_.front().key, order_.begin());
        resize_latest(bytes);
        return order_.front().value;
    }

    // Charges the most recently used value with its new size and keeps within the budgets by
    // forgetting the least recently used values (never the latest one).
    void resize_latest(std::size_t bytes) {
        Node& latest = order_.front();
        bytes_ -= latest.bytes;
        latest.bytes = bytes + latest.key.size() + kEntryOverhead;
        bytes_ += latest.bytes;
        while ((bytes_ > max_bytes_ || order_.size() > max_entries_) && order_.size() > 1) {
            bytes_ -= order_.back().bytes;
            index_.erase(order_.back().key);
            order_.pop_back();
        }
    }

    void remove(std::string_view key) {
        const auto it = index_.find(key);
        if (it == index_.end()) return;
        const auto node = it->second;
        bytes_ -= node->bytes;
        index_.erase(it);
        order_.erase(node);
    }

    void clear() {
        index_.clear();
        order_.clear();
        bytes_ = 0;
    }
    std::size_t bytes() const { return bytes_; }
    std::size_t size() const { return order_.size(); }

private:
    struct Node {
        std::string key;
        Value value;
        std::size_t bytes;
    };
    std::list<Node> order_;  // most recently used first; nodes never move, so keys can be viewed
    std::unordered_map<std::string_view, typename std::list<Node>::iterator> index_;
    std::size_t max_entries_, max_bytes_;
    std::size_t bytes_ = 0;
};

}  // namespace plotwise
