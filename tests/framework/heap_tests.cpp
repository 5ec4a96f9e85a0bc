#include <doctest.h>

#include <cstdint>

#include "heap.h"

namespace {

// Counts the objects alive, to show that each one made is destroyed exactly once.
struct Counted {
    static int alive;
    int value;
    explicit Counted(int v = -1) : value(v) { ++alive; }
    Counted(Counted&& other) noexcept : value(other.value) { ++alive; }
    Counted& operator=(Counted&&) = default;
    ~Counted() { --alive; }
};
int Counted::alive = 0;

}  // namespace

TEST_CASE("a heap array grows keeping its elements in order and memory it cannot have leaves it as it was")
{
    {
        HeapArray<HeapObject<Counted>> objects;  // elements that can only be moved
        for (int i = 0; i < 100; ++i) {
            HeapObject<Counted> made;
            REQUIRE(made.make(i));
            REQUIRE(objects.push(std::move(made)));
            CHECK_FALSE(made);
        }
        REQUIRE(objects.size() == 100u);
        for (int i = 0; i < 100; ++i) CHECK(objects[i]->value == i);
        CHECK(Counted::alive == 100);

        const HeapObject<Counted>* before = objects.data();
        CHECK_FALSE(objects.reserve(static_cast<size_t>(-1) / 2 / sizeof(objects[0])));  // half the address space
        CHECK(objects.data() == before);
        CHECK(objects.size() == 100u);

        HeapArray<HeapObject<Counted>> taken(std::move(objects));
        CHECK(objects.empty());
        CHECK(taken.back()->value == 99);
        REQUIRE(taken.resize(10));
        CHECK(Counted::alive == 10);
    }
    CHECK(Counted::alive == 0);

    HeapArray<Counted> values;
    REQUIRE(values.resize(3));
    CHECK(values[2].value == -1);  // made as the default makes them
    values.clear();
    CHECK(Counted::alive == 0);
}

TEST_CASE("a heap object is made in place and handed over by moving and destroyed once")
{
    HeapObject<Counted> first;
    CHECK_FALSE(first);
    REQUIRE(first.make(7));
    REQUIRE(first.make(8));  // the one made before goes
    CHECK(Counted::alive == 1);
    HeapObject<Counted> second;
    second = std::move(first);
    CHECK_FALSE(first);
    CHECK(second->value == 8);
    second.reset();
    CHECK(Counted::alive == 0);
}
