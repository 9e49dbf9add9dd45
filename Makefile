# Front door of the project. `make demo` and `make test` work on a fresh
# machine: both run the setup first.
JOBS ?= 2
LINUX   := build/linux
WINDOWS := build/windows
ASAN    := build/asan
CMAKE_LINUX_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMZ_WINDOWS_BIN=$(CURDIR)/$(WINDOWS)

.PHONY: all setup build windows asan test demo bench accuracy fuzz fuzz-long workbook-print format clean

all: build

setup:
	@scripts/setup.sh

build:
	@cmake -S . -B $(LINUX) $(CMAKE_LINUX_FLAGS) >/dev/null
	@cmake --build $(LINUX) -j $(JOBS)

windows:
	@cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)

asan:
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DMZ_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)

test: setup
	@$(MAKE) --no-print-directory windows
	@$(MAKE) --no-print-directory build
	@$(MAKE) --no-print-directory asan
	@scripts/run-tests.sh $(LINUX) $(ASAN)

# Only the Linux program and what it needs: no tests, no cross build, no
# Wine. The build's output goes to a log, shown when the build fails.
demo:
	@scripts/setup.sh --linux
	@echo "demo: building the Linux program (a few minutes the first time)"
	@cmake -S . -B $(LINUX) $(CMAKE_LINUX_FLAGS) >/dev/null
	@cmake --build $(LINUX) -j $(JOBS) --target mizenta >$(LINUX)/demo-build.log 2>&1 || \
	  { tail -n 40 $(LINUX)/demo-build.log; echo "demo: the build failed (whole log: $(LINUX)/demo-build.log)"; exit 1; }
	@scripts/demo.sh $(LINUX)

# Side-by-side measurements against the usual peers; writes bench/RESULTS.md.
bench: setup build
	@scripts/bench.sh $(LINUX)

# Functions and call edges of real C trees against the compiler's call graph.
accuracy: setup build
	@scripts/accuracy.sh $(LINUX)

# The function list of the VB sample tree printed through LibreOffice: its
# pages landscape, one page wide, as many as its rows need.
workbook-print: setup build
	@scripts/workbook-print.sh $(LINUX)

# The sources rewritten as .clang-format says (make test fails on a file
# that differs).
format: setup
	@scripts/format.sh

# Each fuzz target for a bounded time (FUZZ_SECONDS each); findings are
# kept under tests/fuzz/regressions and replayed by make test; every run is
# added to tests/fuzz/RUNS.md.
fuzz: setup
	@scripts/fuzz.sh

# Each fuzz target to ten million inputs or eight hours, whichever comes
# first (days in all, one target at a time).
fuzz-long: setup
	@FUZZ_RUNS=$${FUZZ_RUNS:-10000000} FUZZ_SECONDS=$${FUZZ_SECONDS:-28800} scripts/fuzz.sh

clean:
	rm -rf build
