"""Fresh product builds (setup, screen saver and uninstaller only) for the release checks: configured from
scratch in a folder of their own, as a publisher would make them."""
import os
import pathlib
import shutil
import subprocess

PRODUCTS = {"setup": "setup/MarigoldSetup.exe", "saver": "saver/Marigold.scr", "uninstaller": "uninstall/uninstall.exe"}


def copy_sources(source, destination):
    """The source tree as a checkout has it (tracked and new files, nothing ignored) at `destination`."""
    source, destination = pathlib.Path(source), pathlib.Path(destination)
    if destination.exists():
        shutil.rmtree(destination)
    listed = subprocess.run(["git", "-C", str(source), "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            capture_output=True)
    if listed.returncode == 0:
        for name in filter(None, listed.stdout.decode().split("\0")):
            if (source / name).is_file():
                (destination / name).parent.mkdir(parents=True, exist_ok=True)
                shutil.copy2(source / name, destination / name)
    else:
        shutil.copytree(source, destination, ignore=shutil.ignore_patterns("build", ".git"))
    return destination


def build(source, build_dir, arch, *cmake_args, env=None):
    """Configures and builds the setup (and with it the saver and the uninstaller) in a new `build_dir`;
    returns the paths of the three executables, or raises with the build's output."""
    build_dir = pathlib.Path(build_dir)
    if build_dir.exists():
        shutil.rmtree(build_dir)
    full_env = dict(os.environ if env is None else env)
    steps = [
        ["cmake", "-S", str(source), "-B", str(build_dir), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
         f"-DCMAKE_TOOLCHAIN_FILE={pathlib.Path(source) / 'cmake' / f'toolchain-{arch}.cmake'}",
         "-DMARIGOLD_BUILD_TESTS=OFF", *cmake_args],
        ["cmake", "--build", str(build_dir), "--target", "setup"],
    ]
    for step in steps:
        done = subprocess.run(step, capture_output=True, text=True, env=full_env)
        if done.returncode != 0:
            raise RuntimeError(f"{' '.join(step)} failed:\n{done.stdout}\n{done.stderr}")
    return {name: build_dir / path for name, path in PRODUCTS.items()}
