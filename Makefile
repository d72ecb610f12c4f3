# Plotwise: every target does the whole set-up on a fresh machine (Debian packages are
# installed only when missing), then configures, builds and runs.

BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

PACKAGES = cmake g++ clang pkg-config libgd-dev libfreetype-dev zlib1g-dev fonts-liberation \
           libgtest-dev libgmock-dev libbenchmark-dev

.PHONY: all deps configure build test demo gallery bench fuzz test-sanitize clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

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

clean:
	rm -rf $(BUILD) $(SAN_BUILD) out
