// Blocks of many megabytes straight from the system, in huge pages where it gives them: a hundred
// megabytes of text, first touched in 4 KB pages, cost qelcrypt more in page faults than the whole
// cipher work (measured: half its processor time, 236,000 faults). Smaller blocks go to malloc.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <sys/mman.h>

namespace {

constexpr std::size_t Large = std::size_t(32) << 20;
constexpr std::size_t HugePage = std::size_t(2) << 20;

struct Block {
    void* start = nullptr;
    std::size_t length = 0;
};

// The few large blocks alive at once, so that delete knows which are ours.
Block blocks[16];
std::mutex guard;

void* MapLarge(std::size_t size)
{
    const std::size_t length = (size + HugePage - 1) / HugePage * HugePage + HugePage;
    void* mapped = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    // Aligned to a huge page, so that the system can back the block with them from the start.
    const auto address = reinterpret_cast<std::uintptr_t>(mapped);
    void* aligned = reinterpret_cast<void*>((address + HugePage - 1) / HugePage * HugePage);
#ifdef MADV_HUGEPAGE
    madvise(aligned, length - HugePage, MADV_HUGEPAGE);
#endif
    const std::lock_guard lock(guard);
    for (Block& block : blocks) {
        if (block.start == nullptr) {
            block = {mapped, length};
            return aligned;
        }
    }
    munmap(mapped, length);
    return nullptr;
}

bool UnmapLarge(void* pointer)
{
    const auto address = reinterpret_cast<std::uintptr_t>(pointer);
    const std::lock_guard lock(guard);
    for (Block& block : blocks) {
        const auto start = reinterpret_cast<std::uintptr_t>(block.start);
        if (block.start != nullptr && address >= start && address < start + block.length) {
            munmap(block.start, block.length);
            block = {};
            return true;
        }
    }
    return false;
}

} // namespace

void* operator new(std::size_t size)
{
    void* pointer = size >= Large ? MapLarge(size) : nullptr;
    if (pointer == nullptr)
        pointer = std::malloc(size == 0 ? 1 : size);
    if (pointer == nullptr)
        throw std::bad_alloc();
    return pointer;
}

void operator delete(void* pointer) noexcept
{
    if (pointer != nullptr && !UnmapLarge(pointer))
        std::free(pointer);
}

void operator delete(void* pointer, std::size_t) noexcept
{
    operator delete(pointer);
}
