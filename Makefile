# Quillery: `make run` extracts the bundled sample, `make test` builds and
# runs every test. Both install what is missing on Debian first.

BUILD ?= build
JOBS ?= $(shell nproc)
# Passed on to every configure, e.g. CMAKE_FLAGS=-DQUILLERY_WERROR=ON; a
# build folder that exists is configured again with them.
CMAKE_FLAGS ?=
SAMPLE := data/sample/My Clippings.txt
DKX_SAMPLE := data/sample/Sample.dkx

# Debian packages the build and the tests need.
PACKAGES := cmake g++ make ccache libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev \
            libxxhash-dev rapidjson-dev libyaml-cpp-dev libcmark-dev python3-jsonschema python3-html5lib python3-yaml \
            qt6-base-dev qt6-base-dev-tools libgl-dev xvfb xauth desktop-file-utils appstream locales

.PHONY: all deps configure build build-run run test test-sanitize test-nogui bench bench-peers fuzz format format-check tidy clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  SUDO=""; [ "$$(id -u)" = 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi
	@# A comma-decimal locale for the window test that compares the output under it.
	@if command -v locale-gen >/dev/null && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$$'; then \
	  SUDO=""; [ "$$(id -u)" = 0 ] || SUDO=sudo; \
	  $$SUDO sh -c "echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen && locale-gen >/dev/null"; \
	fi

# Configures $(BUILD) when it is new, or again when CMAKE_FLAGS are given.
define configure_in
	@if [ ! -f $(1)/CMakeCache.txt ] || [ -n "$(strip $(CMAKE_FLAGS))" ]; then \
	  cmake -S . -B $(1) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(2) $(CMAKE_FLAGS); \
	fi
endef

configure: deps
	$(call configure_in,$(BUILD))

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the programs `run` starts: the window when it is configured, and quillery-cli.
build-run: configure
	@targets=quillery-cli; \
	grep -q '^QUILLERY_GUI:BOOL=ON' $(BUILD)/CMakeCache.txt && targets="quillery $$targets"; \
	cmake --build $(BUILD) -j $(JOBS) --target $$targets

# With a display: the window on the sample ("GO!" writes "My Clippings" on
# the desktop). Without one: the same extraction headless, into a temporary folder.
run: build-run
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD)/bin/quillery ]; then \
	  echo "Opening the window on \"$(SAMPLE)\": press GO! to write \"My Clippings\" on the desktop"; \
	  $(BUILD)/bin/quillery "$(CURDIR)/$(SAMPLE)"; \
	else \
	  if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    echo "$(BUILD)/bin/quillery is missing (built without the window): extracting headless"; \
	  else \
	    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): extracting headless"; \
	  fi; \
	  for sample in "$(SAMPLE)" "$(DKX_SAMPLE)"; do \
	    out=$$(mktemp -d); \
	    echo "Extracting \"$$sample\" into $$out"; \
	    $(BUILD)/bin/quillery-cli --output-dir "$$out" "$$sample" && \
	      ( cd "$$out" && find . -type f | sort | sed 's|^\./|  |' ) || exit 1; \
	  done; \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	bench/run_bench.sh $(BUILD)

# quillery-cli beside the npm clippings parsers (pinned in bench/peers/package.json).
bench-peers: build
	bench/peers/run_peers.sh $(BUILD)

# The whole test suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of its own.
ASAN_BUILD ?= build-asan
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
                 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

test-sanitize: deps
	$(call configure_in,$(ASAN_BUILD),-DQUILLERY_SANITIZE=ON -DQUILLERY_BENCH=OFF)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# The core and quillery-cli with their tests, built as if Qt were not
# installed (the "nogui" preset, in build-nogui/).
test-nogui: deps
	@if [ ! -f build-nogui/CMakeCache.txt ] || [ -n "$(strip $(CMAKE_FLAGS))" ]; then \
	  cmake --preset nogui $(CMAKE_FLAGS); \
	fi
	cmake --build --preset nogui -j $(JOBS)
	ctest --preset nogui -j $(JOBS)

# Fuzzing needs clang and its libFuzzer runtime besides what the core and
# quillery-cli build with; FUZZ_SECONDS sets the time per target (default 60).
FUZZ_PACKAGES := cmake make ccache clang libclang-rt-14-dev libcli11-dev libxxhash-dev rapidjson-dev libyaml-cpp-dev

fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(FUZZ_PACKAGES)"
	tests/fuzz/run_fuzz.sh

# Every C++ file in the repository through .clang-format: `format` rewrites
# them, `format-check` lists every place that differs and fails.
FORMAT_PACKAGES := clang-format

format:
	@$(MAKE) --no-print-directory deps PACKAGES="$(FORMAT_PACKAGES)"
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

format-check:
	@$(MAKE) --no-print-directory deps PACKAGES="$(FORMAT_PACKAGES)"
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

# clang-tidy with the checks of .clang-tidy over every source the Linux build
# compiles (it reads the build's compile_commands.json; the fuzzers' block
# cache is built by the clang fuzz build only); any finding fails.
TIDY_PACKAGES := clang-tidy

tidy: build
	@$(MAKE) --no-print-directory deps PACKAGES="$(TIDY_PACKAGES)"
	git ls-files -z 'src/*.cpp' 'tests/*.cpp' 'bench/*.cpp' ':!:src/win32/*' ':!:tests/win32/*' \
	  ':!:tests/fuzz/block_cache.cpp' | \
	  xargs -0 -n 1 -P $(JOBS) clang-tidy -p $(BUILD) --quiet

clean:
	rm -rf $(BUILD)
