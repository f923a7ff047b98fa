# Quillery: `make run` extracts the bundled sample, `make test` builds and
# runs every test. Both install what is missing on Debian first.

BUILD ?= build
JOBS ?= $(shell nproc)
SAMPLE := data/sample/My Clippings.txt
DKX_SAMPLE := data/sample/Sample.dkx

# Debian packages the build and the tests need.
PACKAGES := cmake g++ make ccache libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev \
            libxxhash-dev rapidjson-dev libyaml-cpp-dev libcmark-dev python3-jsonschema python3-html5lib python3-yaml \
            qt6-base-dev qt6-base-dev-tools libgl-dev xvfb xauth desktop-file-utils appstream locales

.PHONY: all deps configure build run test test-sanitize bench bench-peers fuzz clean

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

configure: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# With a display: the window on the sample ("GO!" writes "My Clippings" on
# the desktop). Without one: the same extraction headless, into a temporary folder.
run: build
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
	@[ -f $(ASAN_BUILD)/CMakeCache.txt ] || cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUILLERY_SANITIZE=ON -DQUILLERY_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# Fuzzing needs clang and its libFuzzer runtime; FUZZ_SECONDS sets the time per target (default 60).
FUZZ_PACKAGES := cmake make clang libclang-rt-14-dev

fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(FUZZ_PACKAGES)"
	tests/fuzz/run_fuzz.sh

clean:
	rm -rf $(BUILD)
