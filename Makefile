# The two everyday commands are `make run` and `make test`; the rest serve CI and development.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 28
JOBS       ?= $(shell nproc)

.PHONY: deps configure build program run test sanitize fuzz mutants bench screenshots package package-check format format-check clean windows windows-check windows-cli windows-cli-check

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The program alone, without the tests and benchmarks.
program: configure
	cmake --build $(BUILD) -j $(JOBS) --target qelCrypto

run: program
	@scripts/run $(BUILD)/windows/qelCrypto

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# qelcrypto.html alone, in $(BUILD)/web: the engine compiled by emscripten into one offline page.
web: configure
	cmake --build $(BUILD) -j $(JOBS) --target web

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer; any report fails.
sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQEL_SANITIZE=ON -DQEL_BUILD_BENCHMARKS=OFF -DQEL_BUILD_WEB=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS on a copy of its seed corpus; any finding fails. Its own CMake
# project under fuzz/, built with clang and without Qt.
fuzz:
	@scripts/install-deps cmake ninja-build clang-14 libclang-rt-14-dev
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Small faults planted one at a time in a private copy; lists each one the suite (less the end-to-end
# walkthrough) does not catch, then the score.
mutants:
	../shared/tools/mutants --sample 80 --seed 2026 --jobs 2 cipher app platform windows

bench: build
	$(BUILD)/bench/qel_bench
	$(BUILD)/bench/qel_window_bench
	bench/startup $(BUILD)/windows/qelCrypto $(BUILD)/bench/qel_bare_window
	bench/startup $(BUILD)/windows/qelCrypto $(BUILD)/bench/qel_bare_label_window
	cd tests/web && { [ -d node_modules/puppeteer-core ] || npm ci --no-audit --no-fund; }
	node bench/frontends.mjs $(BUILD)

# The pictures of every window in docs/screenshots, taken by the end-to-end walkthrough, at the normal
# size and at twice the size; and the web page, narrow and wide, taken by its test.
screenshots: build
	tests/e2e/run $(BUILD)/windows/qelCrypto docs/screenshots
	QT_SCALE_FACTOR=2 QEL_SCREEN=2560x2048x24 tests/e2e/run $(BUILD)/windows/qelCrypto docs/screenshots/scale-2
	cd tests/web && { [ -d node_modules/puppeteer-core ] || npm ci --no-audit --no-fund; } && \
	QEL_WEB_SCREENSHOTS=$(CURDIR)/docs/screenshots node page_test.mjs $(CURDIR)/$(BUILD)/web/qelcrypto.html \
		$(CURDIR)/$(BUILD)/cli/qelcrypt $(CURDIR)/$(BUILD)/tests/desktop_window

# The Debian package, made from the build the tests run on (-O2, as tested) and stripped by CPack.
package: build
	cmake --build $(BUILD) --target package

# Builds and installs the package, starts the installed program, and removes the package again.
package-check:
	@BUILD=$(BUILD) scripts/check-package

# 64-bit Windows, cross-built with MinGW-w64 against a Qt for Windows built once from Debian's qt6-base
# source and kept in /var/cache/qelcrypto: build-windows/ gets the laid-out program, its zip and its
# installer. The first Qt build takes long (see the README); later ones reuse it.
WINDOWS_BUILD ?= build-windows
VERSION = $(shell sed -n 's/^project.qelCrypto VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

windows:
	@WINDOWS_BUILD=$(CURDIR)/$(WINDOWS_BUILD) JOBS=$(JOBS) scripts/windows-build

# qelcrypt.exe alone needs no Qt: cross-built, laid out with its runtime and checked under Wine beside
# the Linux qelcrypt. Quick enough for every CI run.
windows-cli:
	@WINDOWS_BUILD=$(CURDIR)/$(WINDOWS_BUILD) JOBS=$(JOBS) scripts/windows-build cli

windows-cli-check: windows-cli configure
	cmake --build $(BUILD) -j $(JOBS) --target qelcrypt
	python3 tests/wine/qelcrypt_test.py $(WINDOWS_BUILD)/qelcrypt-$(VERSION)-win64 $(BUILD)/cli/qelcrypt

# The installer under Wine on a private X server: installed silently, walked through, drive A: and the
# clipboard shared with the Linux build. WINDOWS_SHOTS=docs/screenshots/windows retakes its pictures.
windows-check: windows program
	tests/wine/run $(WINDOWS_BUILD)/qelCrypto-$(VERSION)-win64-installer.exe $(BUILD)/windows/qelCrypto \
		$(WINDOWS_SHOTS)

FORMATTED = $(shell git ls-files '*.cpp' '*.h')

format:
	clang-format -i $(FORMATTED)

format-check: deps
	clang-format --dry-run --Werror $(FORMATTED)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
