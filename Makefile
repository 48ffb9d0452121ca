# The two commands of a newcomer: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps build run test screenshots bench fuzz install deb clean

all: build

deps:
	@bash scripts/install-deps

# A compiler cache, when the machine has one, makes rebuilds in several checkouts cheap.
CCACHE := $(shell command -v ccache 2>/dev/null)
LAUNCHER := $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Lays out build/PADO with the sample race (unless the user already put a race there) and starts it.
run: build
	@bash scripts/layout-program-folder $(BUILD)/PADO
	cd $(BUILD)/PADO && ./PADO

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

screenshots: build
	@bash scripts/layout-program-folder $(BUILD)/PADO
	xvfb-run -a -s "-screen 0 1920x1080x24" $(BUILD)/pado_screenshots $(BUILD)/PADO $(BUILD)/screenshots
	xvfb-run -a -s "-screen 0 1366x768x24" $(BUILD)/pado_screenshots $(BUILD)/PADO $(BUILD)/screenshots \
	  --startup startup-1366x768

bench: build
	cmake --build $(BUILD) --target pado_bench -j $(JOBS)
	$(BUILD)/pado_bench $(BUILD)/bench.md
	bash scripts/bench-growth $(BUILD) $(BUILD)/bench.md
	cmake --build $(BUILD) --target pado_data_bench -j $(JOBS) && $(BUILD)/pado_data_bench $(BUILD)/bench.md
	cmake --build $(BUILD) --target pado_backtest_bench -j $(JOBS)
	$(BUILD)/pado_backtest_bench >> $(BUILD)/bench.md
	cmake --build $(BUILD) --target pado_gui_bench -j $(JOBS) && $(BUILD)/pado_gui_bench >> $(BUILD)/bench.md || true
	cmake --build $(BUILD) --target pado_tune_bench -j $(JOBS) && $(BUILD)/pado_tune_bench >> $(BUILD)/bench.md
	@cat $(BUILD)/bench.md

# Installs under PREFIX (default /usr/local; DESTDIR is honoured): `pado` on the PATH, the menu entry.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package build-deb/pado_<version>_amd64.deb (scripts/test-deb installs, starts and removes it),
# from a build of its own without the tests, which the package does not need.
DEB_BUILD ?= build-deb
deb: deps
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPADO_BUILD_TESTS=OFF $(LAUNCHER)
	cmake --build $(DEB_BUILD) -j $(JOBS)
	cd $(DEB_BUILD) && cpack -G DEB

# Each fuzz target for FUZZ_SECONDS (default 60) on its corpus; new findings stay in build-fuzz/.
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPADO_FUZZ=ON -DPADO_BUILD_GUI=OFF -DPADO_BUILD_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS)
	bash scripts/run-fuzz build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(DEB_BUILD) build-fuzz
