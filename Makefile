# The two everyday commands are `make run` and `make test`; the rest serve CI and development.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: deps configure build run test sanitize bench format format-check clean

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run $(BUILD)/windows/qelCrypto

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer; any report fails.
sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQEL_SANITIZE=ON -DQEL_BUILD_BENCHMARKS=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:halt_on_error=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/qel_bench
	$(BUILD)/bench/qel_window_bench

FORMATTED = $(shell git ls-files '*.cpp' '*.h')

format:
	clang-format -i $(FORMATTED)

format-check: deps
	clang-format --dry-run --Werror $(FORMATTED)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
