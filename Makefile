# Plotwise: every target does the whole set-up on a fresh machine (Debian packages are
# installed only when missing), then configures, builds and runs.

BUILD      ?= build
SAN_BUILD  ?= build-sanitize
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
THREAD_BUILD ?= build-thread
WIN_BUILD  ?= build-windows
# What `make windows` builds: the plug-in, the stand-in and the program.
WINDOWS_TARGETS ?= --target Plotwise FMWrapper plotwise
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

PACKAGES = cmake g++ clang pkg-config libgd-dev libfreetype-dev libfontconfig-dev zlib1g-dev \
           libcairo2-dev libharfbuzz-dev libfribidi-dev fonts-liberation fonts-dejavu-core fonts-droid-fallback fonts-nanum \
           libgtest-dev libgmock-dev libbenchmark-dev poppler-utils librsvg2-bin

.PHONY: all deps deps-windows configure build test demo gallery package bench bench-gnuplot gnuplot-installed fuzz \
        test-sanitize test-thread windows test-windows clean

all: build

# The drawing libraries the plug-in links are built static from Debian's source packages
# (cmake/deps/build_deps.sh) into a cache outside the checkout: these tools build them.
DEPS_TOOLS = meson ninja-build dpkg-dev patch xz-utils bzip2 make
# The Windows cross build and Wine to test it.
WINDOWS_PACKAGES = g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools \
                   libz-mingw-w64-dev wine wine64 googletest fontconfig

# Installs the Debian packages of $(1) that are not installed yet.
define install-missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install-missing,$(PACKAGES) $(DEPS_TOOLS))

deps-windows: deps
	$(call install-missing,$(WINDOWS_PACKAGES))

# The static drawing libraries for Linux (built once, then found in the cache), named for cmake.
LINUX_LIBRARIES = prefix=$$(JOBS=$(JOBS) bash cmake/deps/build_deps.sh linux) &&
STATIC = -DPLOTWISE_DEPS_PREFIX=$$prefix

configure: deps
	$(LINUX_LIBRARIES) cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOTWISE_WERROR=ON $(STATIC) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure

demo: build
	$(BUILD)/plotwise --version
	$(BUILD)/plotwise eval 'Plotz_Version ( "long" )'
	$(MAKE) --no-print-directory gallery

gallery:
	bash examples/gallery.sh $(BUILD) out/gallery

# A Debian package (plotwise_VERSION_ARCH.deb) and a .tar.gz of the installation, in $(BUILD).
package: build
	cmake --build $(BUILD) --target package

# Optimised build of the benchmark program, then one run that prints the table of ratios and
# budgets, and the side-by-side comparison with gnuplot (below) for processes that draw one
# chart and 100. BENCH_ARGS passes options to the benchmark program (e.g.
# BENCH_ARGS=--benchmark_filter=draw). The -O3 build is not a warnings gate (gcc 12 reports
# false -Wrestrict positives in libstdc++'s string code there); `make test` builds the
# benchmarks with warnings as errors.
bench: deps gnuplot-installed
	$(LINUX_LIBRARIES) cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DPLOTWISE_BENCH=ON -DPLOTWISE_WERROR=OFF $(STATIC) $(CMAKE_ARGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target plotwise_bench plotwise Plotwise
	$(BENCH_BUILD)/plotwise_bench $(BENCH_ARGS)
	bash bench/gnuplot_compare.sh $(BENCH_BUILD) 1
	bash bench/gnuplot_compare.sh $(BENCH_BUILD) 100

# Plotwise side by side with gnuplot's gif terminal (Debian's gnuplot-nox, installed when
# missing): the same four charts from the same data, 100 per process each; prints the CPU time
# per chart and how many times faster plotwise is.
bench-gnuplot: deps gnuplot-installed
	$(LINUX_LIBRARIES) cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DPLOTWISE_BENCH=ON -DPLOTWISE_WERROR=OFF $(STATIC) $(CMAKE_ARGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target plotwise Plotwise
	bash bench/gnuplot_compare.sh $(BENCH_BUILD) 100

gnuplot-installed:
	@command -v gnuplot >/dev/null 2>&1 || { apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq gnuplot-nox; }

# ---- Sanitizers and fuzzing ------------------------------------------------------------------
# Every test again under AddressSanitizer (leaks counted) and UndefinedBehaviorSanitizer, built
# with clang; the first fault stops the test that made it.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
                LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

test-sanitize: deps
	CC=clang CXX=clang++ cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPLOTWISE_SANITIZE=ON -DPLOTWISE_BENCH=OFF -DPLOTWISE_WERROR=ON $(CMAKE_ARGS)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && $(SANITIZER_ENV) ctest -j $(JOBS) --output-on-failure

# The threaded tests under ThreadSanitizer (clang), in a build folder of their own: calls from
# several threads, the calls of every example script made again from four threads, and a host
# whose evaluation takes a lock of its own. A data race, a lock taken in two orders or a
# deadlock fails the run.
THREAD_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

test-thread: deps
	CC=clang CXX=clang++ cmake -S . -B $(THREAD_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOTWISE_BENCH=OFF \
	  -DPLOTWISE_WERROR=ON -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_CXX_FLAGS=-fsanitize=thread \
	  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread \
	  -DCMAKE_MODULE_LINKER_FLAGS=-fsanitize=thread $(CMAKE_ARGS)
	cmake --build $(THREAD_BUILD) -j $(JOBS) --target test_limits test_calls
	$(THREAD_ENV) $(THREAD_BUILD)/test_limits --gtest_filter='Threads.*'
	$(THREAD_ENV) $(THREAD_BUILD)/test_calls --gtest_filter='ScriptsFromThreads.*'

# Each fuzz target runs for FUZZ_SECONDS, starting from its seed corpus (fuzz/corpus/<target>)
# and its crashers (tests/crashers/<target>), with its dictionary (fuzz/<target>.dict) when it
# has one; what it learns is kept in $(FUZZ_BUILD)/corpus.
# An input that fails lands in $(FUZZ_BUILD)/findings/<target>/: copy it into
# tests/crashers/<target>/ with the fix, so that `make test` replays it from then on.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS  = container codec data presentation formatters engines expression csv
FUZZ_MAX_LEN_container = 131072
FUZZ_MAX_LEN_codec     = 131072
FUZZ_MAX_LEN_data      = 65536
FUZZ_MAX_LEN_engines   = 16384

define run-fuzzer
	@mkdir -p $(FUZZ_BUILD)/corpus/$(1) $(FUZZ_BUILD)/findings/$(1)
	@echo "==> fuzz_$(1) for $(FUZZ_SECONDS) s"
	$(SANITIZER_ENV) $(FUZZ_BUILD)/fuzz_$(1) -max_total_time=$(FUZZ_SECONDS) -timeout=60 \
	  -max_len=$(or $(FUZZ_MAX_LEN_$(1)),4096) -print_final_stats=1 \
	  $(addprefix -dict=,$(wildcard fuzz/$(1).dict)) \
	  -artifact_prefix=$(FUZZ_BUILD)/findings/$(1)/ \
	  $(FUZZ_BUILD)/corpus/$(1) fuzz/corpus/$(1) $(wildcard tests/crashers/$(1))

endef

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPLOTWISE_FUZZ=ON -DPLOTWISE_SANITIZE=ON -DPLOTWISE_BENCH=OFF -DPLOTWISE_WERROR=ON $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	$(foreach t,$(FUZZ_TARGETS),$(call run-fuzzer,$(t)))

# ---- Windows x64 ----------------------------------------------------------------------------------
# Plotwise.fmx64, FMWrapper.dll, plotwise.exe and the test programs, cross-built with MinGW-w64
# against the drawing libraries built static for Windows, into $(WIN_BUILD).
windows: deps-windows
	prefix=$$(JOBS=$(JOBS) bash cmake/deps/build_deps.sh windows) && \
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOTWISE_WERROR=ON -DPLOTWISE_BENCH=OFF $(STATIC) $(CMAKE_ARGS)
	cmake --build $(WIN_BUILD) -j $(JOBS) $(WINDOWS_TARGETS)

# The Windows build under Wine, in a fresh prefix with the Liberation fonts under the Windows
# names: the plug-in's binary, the program, every example and gallery script's pictures
# compared byte for byte with the Linux build's, and the tests.
test-windows: windows build
	bash tests/windows_test.sh $(WIN_BUILD) $(BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(THREAD_BUILD) $(WIN_BUILD) out
