// An append-only array in fixed chunks: growth never copies what is kept, and the memory beyond the
// elements is at most one chunk, so a log's rows cost what they hold.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

template <typename T, size_t ChunkSize = 1024> class TChunkedArray {
  public:
    void PushBack(const T& value) {
        if (count == chunks.size() * ChunkSize) chunks.push_back(std::make_unique<T[]>(ChunkSize));
        chunks[count / ChunkSize][count % ChunkSize] = value;
        ++count;
    }
    const T& operator[](size_t index) const { return chunks[index / ChunkSize][index % ChunkSize]; }
    size_t Size() const { return count; }
    bool Empty() const { return count == 0; }
    // Gives the memory back, not only the elements.
    void Clear() {
        std::vector<std::unique_ptr<T[]>>().swap(chunks);
        count = 0;
    }
    size_t Bytes() const {
        return chunks.capacity() * sizeof(chunks[0]) + chunks.size() * ChunkSize * sizeof(T);
    }

  private:
    std::vector<std::unique_ptr<T[]>> chunks;
    size_t count = 0;
};
