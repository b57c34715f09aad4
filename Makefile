# The two set-up commands of the README: `make run` and `make test`.
BUILD    ?= build
ASANDIR  ?= build-asan
JOBS     ?= 2
CMAKEFLAGS ?=

.PHONY: all deps configure build test run test-sanitize bench clean

all: build

deps:
	bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKEFLAGS)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD) -j$(JOBS)

# Every test, then again under a German and a Czech desktop (comma as the
# decimal separator), where the C library formats and reads numbers otherwise.
TESTLOCALES ?= de_DE.UTF-8 cs_CZ.UTF-8
test: build
	ctest --test-dir $(BUILD) -j$(JOBS) --output-on-failure --timeout 600
	for l in $(TESTLOCALES); do \
	  echo "== tests under $$l"; \
	  LANG=$$l LC_ALL=$$l ctest --test-dir $(BUILD) -j$(JOBS) --output-on-failure --timeout 600 || exit 1; \
	done

run: build
	mkdir -p run
	test -f run/envdb.mdb || $(BUILD)/bin/tesmar-newdb run/envdb.mdb
	test -f run/eatitem.dat || ! test -f resources/sounds/eatitem.wav || cp resources/sounds/eatitem.wav run/eatitem.dat
	cd run && ../$(BUILD)/bin/tesmar

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(ASANDIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DCORVELLE_BENCH=OFF
	cmake --build $(ASANDIR) -j$(JOBS)
	ctest --test-dir $(ASANDIR) -j$(JOBS) --output-on-failure --timeout 900

bench: build
	bash bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASANDIR)
