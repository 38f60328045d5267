"""The Python module against rdsim-batch, the engine's other front end."""

import os
import signal
import subprocess
import threading
import time

import h5py
import numpy as np
import pytest

import rdsim

BATCH = os.environ.get("RDSIM_BATCH", os.path.join(os.path.dirname(rdsim.__file__), "rdsim-batch"))
DESIGN = ",".join(rdsim.Simulation().params)


def batch(*args):
    subprocess.run([BATCH, *map(str, args)], check=True, capture_output=True)


def field_of(sim):
    return np.concatenate([sim.u.ravel(), sim.v.ravel()])


def batch_field(tmp_path, mode, size, steps, params=DESIGN, start=None, suffix=".raw"):
    """The field rdsim-batch leaves after `steps` steps from `start` (a seed or a file)."""
    out = tmp_path / ("out" + suffix)
    flag = "--random" if isinstance(start, int) else "--init"
    batch("--mode", mode, "--size", size, "--steps", steps, "--params", params, flag, start, "--out", out)
    if suffix == ".h5":
        with h5py.File(out) as f:
            return np.concatenate([f["u"][()].ravel(), f["v"][()].ravel()]), int(f.attrs["steps"])
    return np.fromfile(out, dtype="<f4"), steps


@pytest.mark.parametrize("mode,size,seed,steps,preset,suffix", [
    ("1d", 16, 1, 0, None, ".raw"),
    ("1d", 64, 7, 1000, "Peaks (1D)", ".raw"),
    ("2d", 32, 3, 101, None, ".raw"),
    ("2d", 128, 5, 200, "Spots", ".h5"),
])
def test_random_and_run_match_the_batch_runner_bit_for_bit(tmp_path, mode, size, seed, steps, preset, suffix):
    sim = rdsim.Simulation(mode, size, preset)
    sim.random(seed)
    sim.run(steps)
    expected, expected_steps = batch_field(tmp_path, mode, size, steps, ",".join(sim.params), seed, suffix)
    assert field_of(sim).tobytes() == expected.astype("<f4").tobytes()
    assert sim.steps == expected_steps


def test_views_share_the_field_and_a_write_through_them_is_stepped(tmp_path):
    sim = rdsim.Simulation("2d", 24)
    u, v = sim.u, sim.v
    assert u.shape == (24, 24) and u.dtype == np.float32 and np.shares_memory(u, sim.u)
    sim.random(9)
    u[2, 5:9] = 10.0  # row 2: the picture's third row from the top
    v[:, 0] = 0.0
    field_of(sim).astype("<f4").tofile(tmp_path / "start.raw")
    sim.run(3)  # an odd count: the newest field must come back under the views
    expected, _ = batch_field(tmp_path, "2d", 24, 3, start=tmp_path / "start.raw")
    assert np.concatenate([u.ravel(), v.ravel()]).tobytes() == expected.tobytes()
    sim.paint(6, 2, radius=0, intensity=51, species="v")
    assert v[2, 6] == np.float32(2.0) and v[2, 4] != np.float32(2.0)
    del sim
    assert np.isfinite(u).all()  # the array keeps its simulation alive


@pytest.mark.parametrize("call,error,words", [
    (lambda: rdsim.Simulation("3d"), ValueError, "mode"),
    (lambda: rdsim.Simulation(size=129), ValueError, "size"),
    (lambda: rdsim.Simulation(size=2.5), TypeError, "size"),
    (lambda: rdsim.Simulation(params=[0.1] * 10), ValueError, "params: eleven"),
    (lambda: rdsim.Simulation(params=["x"] + [0.1] * 10), ValueError, "params"),
    (lambda: rdsim.Simulation(params=[float("nan")] + [0.1] * 10), ValueError, "params[0]"),
    (lambda: rdsim.Simulation(params={"k11": 1}), ValueError, "k11"),
    (lambda: rdsim.Simulation(params="No such preset"), ValueError, "Spots"),
    (lambda: rdsim.Simulation(params=3), TypeError, "params"),
    (lambda: rdsim.Simulation().random(-1), ValueError, "seed"),
    (lambda: rdsim.Simulation().random(2 ** 64), ValueError, "seed"),
    (lambda: rdsim.Simulation().run(-1), ValueError, "steps"),
    (lambda: rdsim.Simulation().run(True), TypeError, "steps"),
    (lambda: rdsim.Simulation().run(5, every=0, callback=print), ValueError, "every"),
    (lambda: rdsim.Simulation().run(5, every=1), ValueError, "callback"),
    (lambda: rdsim.Simulation().run(5, every=1, callback=3), TypeError, "callback"),
    (lambda: rdsim.Simulation().paint(float("inf"), 0), ValueError, "x"),
    (lambda: rdsim.Simulation().paint(0, 0, radius=13), ValueError, "radius"),
    (lambda: rdsim.Simulation().paint(0, 0, species="w"), ValueError, "species"),
    (lambda: rdsim.Simulation("1d").spiral(), ValueError, "1d"),
    (lambda: rdsim.Simulation().picture("rainbow"), ValueError, "viridis"),
    (lambda: rdsim.Simulation().picture(scale=33), ValueError, "scale"),
    (lambda: rdsim.dominant_wavelength(np.zeros((3, 4))), ValueError, "u"),
    (lambda: rdsim.open_field(3), TypeError, "path"),
])
def test_bad_arguments_raise_naming_the_argument(call, error, words):
    with pytest.raises(error) as raised:
        call()
    assert words in str(raised.value)


def test_field_files_go_to_the_batch_runner_and_back(tmp_path):
    sim = rdsim.Simulation("2d", 20, "Holes")
    sim.random(4)
    sim.run(7)
    sim.save(tmp_path / "mine.h5")
    batch("--mode", "2d", "--size", 20, "--params", ",".join(sim.params), "--init", tmp_path / "mine.h5",
          "--steps", 5, "--out", tmp_path / "theirs.h5")
    back = rdsim.open_field(tmp_path / "theirs.h5")
    sim.run(5)
    assert (back.mode, back.size, back.params, back.steps) == ("2d", 20, sim.params, 12)
    assert field_of(back).tobytes() == field_of(sim).tobytes()
    (tmp_path / "junk.h5").write_bytes(b"\x89HDF but not really")
    with pytest.raises(rdsim.FileAccessFault, match="junk.h5"):
        rdsim.open_field(tmp_path / "junk.h5")


def fresh_run(steps, size=16, seed=2, params=None):
    sim = rdsim.Simulation("2d", size, params)
    sim.random(seed)
    sim.run(steps)
    return field_of(sim)


def test_an_interrupted_run_keeps_the_newest_whole_field():
    sim = rdsim.Simulation("2d", 16)
    sim.random(2)
    calls = []

    def callback(s):
        calls.append(s.steps)
        assert field_of(s).tobytes() == fresh_run(s.steps).tobytes()  # the views show step 3, an odd one
        if len(calls) == 2:
            raise ArithmeticError("enough")

    with pytest.raises(ArithmeticError, match="enough"):
        sim.run(100, every=3, callback=callback)
    assert calls == [3, 6] and sim.steps == 6
    assert field_of(sim).tobytes() == fresh_run(6).tobytes()

    growing = {"k3": -1000}  # a negative decay: the activator overflows
    sim = rdsim.Simulation("2d", 16, growing)
    sim.random(2)
    with pytest.raises(rdsim.OverflowFault, match=f"step {sim.steps + 19} of 1000"):
        sim.run(1000)
    assert sim.steps == 18 and np.isfinite(sim.u).all()
    assert field_of(sim).tobytes() == fresh_run(18, params=growing).tobytes()


def test_ctrl_c_stops_a_long_run_soon_with_a_whole_field():
    sim = rdsim.Simulation("2d", 128)
    sim.random(1)
    sent = []

    def interrupt():
        sent.append(time.monotonic())
        os.kill(os.getpid(), signal.SIGINT)

    threading.Timer(0.3, interrupt).start()
    with pytest.raises(KeyboardInterrupt):
        sim.run(10 ** 9)
    assert time.monotonic() - sent[0] < 0.5  # 0.1 s on an idle machine
    check = rdsim.Simulation("2d", 128)
    check.random(1)
    check.run(sim.steps)
    assert field_of(sim).tobytes() == field_of(check).tobytes()


def test_two_threads_run_their_own_simulations_and_not_each_others():
    sims = [rdsim.Simulation("2d", 64, "Spots") for _ in range(2)]
    for seed, sim in enumerate(sims):
        sim.random(seed)
    threads = [threading.Thread(target=sim.run, args=(500,)) for sim in sims]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert [field_of(sim).tobytes() for sim in sims] == [fresh_run(500, 64, seed, "Spots").tobytes() for seed in (0, 1)]

    in_callback, go_on = threading.Event(), threading.Event()
    runner = threading.Thread(target=sims[0].run, args=(2, 1, lambda s: in_callback.set() or go_on.wait()))
    runner.start()
    in_callback.wait()
    with pytest.raises(RuntimeError, match="another thread"):
        sims[0].random(5)
    go_on.set()
    runner.join()
    assert sims[0].steps == 502


def test_the_picture_is_the_batch_runners_bitmap(tmp_path):
    sim = rdsim.Simulation("2d", 30)
    sim.random(8)
    sim.spiral(radius=2)
    sim.run(11)
    field_of(sim).astype("<f4").tofile(tmp_path / "start.raw")
    batch("--mode", "2d", "--size", 30, "--params", DESIGN, "--init", tmp_path / "start.raw", "--steps", 0,
          "--bmp", tmp_path / "p.bmp")
    data = (tmp_path / "p.bmp").read_bytes()
    offset, width, height = (int.from_bytes(data[at:at + 4], "little", signed=True) for at in (10, 18, 22))
    stride = (width * 3 + 3) // 4 * 4
    rows = np.frombuffer(data[offset:offset + stride * abs(height)], np.uint8).reshape(abs(height), stride)
    bmp = rows[:, :width * 3].reshape(abs(height), width, 3)[:, :, ::-1]
    if height > 0:
        bmp = bmp[::-1]
    assert (sim.picture() == bmp).all()
    assert rdsim.dominant_wavelength(sim.u) is not None
    assert sim._repr_png_().startswith(b"\x89PNG")


def test_presets_and_analysis_read_the_same_tables_as_the_batch_runner():
    assert rdsim.presets()["Spots"] == rdsim.Simulation(params="Spots").params
    report = rdsim.analyze("1d", 40, "Spots")
    state = report["states"][0]
    assert state["verdict"] != "stable" and state["fastest"]["kind"] in report["description"]
    assert state["mu"].shape == (40,) and state["factors"].shape == (40, 2)
    # NumPy's |z| may differ in the last bit between the columns (its SIMD paths depend on alignment).
    assert np.all(np.abs(state["factors"][:, 0]) >= np.abs(state["factors"][:, 1]) * (1 - 1e-12))
