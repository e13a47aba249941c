#!/usr/bin/env python3
"""Writes the rules files of the game's six modes and ten challenges,
data/game/Data/GamePlay/<Name>.ini (run from the repository root). The data builder turns each
into Data/System/<Name>.ZVG.

Conventions of every file: mecha variable 1 is the score (or, in time challenges, the clock);
the last event row of a type or area (NumMechaVars + 1) holds its hit-point deltas. Free modes
keep a record table (TableIdx 1 to 6) and record the score when the play ends. Challenges have no
record table: their result is the variable MechIndx, and only a cleared challenge counts."""

OUT = "data/game/Data/GamePlay/"
FLAG = {True: "true", False: "false"}


def fmt(v):
    if isinstance(v, bool):
        return FLAG[v]
    if isinstance(v, str):
        return '"%s"' % v
    if isinstance(v, (tuple, list)):
        return " ".join(fmt(x) for x in v)
    if isinstance(v, float) and v.is_integer():
        return str(int(v))
    return str(v)


def var(start=0, def_a=0, def_b=0, multiply=False, time_aff=0, clear_wave=0):
    return dict(Start=start, DefA=def_a, DefB=def_b, Multiply=multiply, TimeAff=time_aff, ClearWave=clear_wave,
                PlayerHit=0, PlayerDamage=0, PlayerShot=0, PlayerMoveM=0, PlayerStopT=0, DefLimiter=False)


SCORE = var(multiply=True)


def countdown(seconds):
    return var(start=seconds, def_a=seconds, time_aff=-1)


CLOCK = var(time_aff=1)

# MaxSpawn of every type meant to appear all play long. A type with MaxSpawn 0 gets weight 0 and is
# drawn only through the fallback to type 1, so it would never appear: every listed type needs a
# finite MaxSpawn, and this one outlasts any play.
LONG_PLAY = 99999

INTERVAL_STANDARD = [("pick_repair", 3, LONG_PLAY), ("pick_weap_rocket_pod", 1, LONG_PLAY),
                     ("pick_weap_mortar", 1, LONG_PLAY)]
TIME_STANDARD = [("pick_turbo", 2, LONG_PLAY), ("pick_nodamage", 1, LONG_PLAY)]


# The follow camera hangs at (2, 150, 100) x camZoom from its target: at 0.5 an 800 x 600 view shows the
# vehicle about 40 pixels long and some 100 x 75 units of ground around it.
CAMERA = (1, 0.5)


def mode(name, comment, *, lives=3, respawn=3, border=0.0, max_hp=300, spawn_pos=(0, 0, 60), spawn_yaw=180,
         variables=None, hp=None, cam=CAMERA, spawn=None, clear=None, lose=None, multiplier=True, hud=None,
         wave=None, colour=None, areas=None, ovni=None, interval=None, time=None, record=None):
    return dict(name=name, comment=comment, lives=lives, respawn=respawn, border=border, max_hp=max_hp,
                spawn_pos=spawn_pos, spawn_yaw=spawn_yaw, variables=variables or [SCORE], hp=hp or {},
                cam=cam, spawn=spawn or {}, clear=clear or {}, lose=lose or {}, multiplier=multiplier,
                hud=hud or {}, wave=wave or {}, colour=colour, areas=areas or [], ovni=ovni or [],
                interval=interval, time=time, record=record or {})


def ovni(name, rate, rows, sim_cap=0, max_spawn=LONG_PLAY, colour=0):
    """rows: {mecha row (1-based, NumMechaVars + 1 for HP): {field: delta}}"""
    return dict(name=name, rate=rate, sim_cap=sim_cap, max_spawn=max_spawn, colour=colour, rows=rows)


def write(m):
    nv = len(m["variables"])
    hp_row = nv + 1
    lines = ["# " + line for line in m["comment"]]
    lines.append("# Written by data/gen/make_mode_rules.py.")

    def section(title, pairs):
        lines.append("")
        lines.append("[%s]" % title)
        for k, v in pairs:
            lines.append("%s = %s" % (k, fmt(v)))

    section("SETINGS", [("Scene", "Town"), ("NumLives", m["lives"]), ("RespawnDelay", m["respawn"]),
                        ("BorderScale", m["border"])])
    section("PLAYER", [("MaxHP", m["max_hp"]), ("StartDamage", 0), ("MoveDisable", False),
                       ("DodgeDisable", False), ("MainFDisable", False), ("SubFDisable", False),
                       ("TurrTurnDisable", False), ("MoveFireDisable", False), ("StopFireDisable", False),
                       ("MoveTTurnDisable", False), ("StopTTurnDisable", False), ("MoveMultiplyer", 1),
                       ("SpawnPos", m["spawn_pos"]), ("SpawnYaw", m["spawn_yaw"]), ("WeaponArena", False),
                       ("WeapArena_Name", ""), ("WeapArena_InfAmmo", False)])
    mech = [("NumMechaVars", nv)]
    for n, v in enumerate(m["variables"], 1):
        for key in ("Start", "DefA", "DefB", "Multiply", "TimeAff", "ClearWave", "PlayerHit", "PlayerDamage",
                    "PlayerShot", "PlayerMoveM", "PlayerStopT", "DefLimiter"):
            mech.append(("MechaVar_%d_%s" % (n, key), v[key]))
    for key in ("HP_TimeAff", "HP_ClearWave", "HP_PlayerShot", "HP_PlayerMoveM", "HP_PlayerStopT"):
        mech.append((key, m["hp"].get(key, 0)))
    section("MECHANICS", mech)
    section("CAMERA", [("camStyle", m["cam"][0]), ("camZoom", m["cam"][1])])

    s = dict(SpawnTime=3, SGlobalCap=10, LimitSpawnMech=False, LSM_MechIdx=0, LSM_Condition=0, LSM_Val=0,
             StartSpawn=3, VariableSpawnRate=False)
    s.update({k: v for k, v in m["spawn"].items() if k != "keys"})
    pairs = list(s.items())
    if s["VariableSpawnRate"]:
        keys = m["spawn"]["keys"]
        pairs.append(("VSR_NumKeys", len(keys)))
        for n, (t, r) in enumerate(keys, 1):
            pairs += [("VSR_Key_%d_Time" % n, t), ("VSR_Key_%d_Rate" % n, r)]
    section("OVNI_SPAWN", pairs)

    c = dict(CC_PrintName="Cleared", CC_HasRecordTable=True, CC_RT_Challange=False, CC_ColourCombo=False,
             CC_MechCond=False, CC_MechIndx=0, CC_Condition=0, CC_Val=0, CC_AreaClear=False, CC_WaveClear=False,
             CC_PDestroyed=False)
    c.update(m["clear"])
    section("CLEAR_CONDITION", list(c.items()))
    lc = dict(LC_PrintName="Destroyed", HasLoseCondition=False, LC_HasRecordTable=False, LC_RT_Challange=False,
              NeedOnlyOne=True, LC_MechCond=False, LC_MechIndx=0, LC_Condition=0, LC_Val=0, LC_AreaClear=False,
              LC_PDestroyed=False)
    lc.update(m["lose"])
    section("LOSE_CONDITION", list(lc.items()))

    steps = [(5, 2), (15, 3), (30, 4)] if m["multiplier"] else []
    pairs = [("NumMulti", len(steps))]
    for n, (k, mv) in enumerate(steps, 1):
        pairs += [("Multi_%d_Kills" % n, k), ("Multi_%d_mVar" % n, mv)]
    section("MULTIPLIER", pairs)

    # LivesBarHud shows the lives and, with WaveBarHud, the wave number and the wave bar: on wherever
    # the mode has lives, waves or a bar to show.
    h = dict(ScoreHud=True, ScoreMechIndx=1, TimeHud=False, TimeMechIndx=0, WaveBarHud=False, WaveBarMechIndx=0,
             ChronoHud=False, ChronoMechIndx=0, LivesBarHud=False, BestSHud=True, HPHud=True, KillHud=True)
    h.update(m["hud"])
    h["LivesBarHud"] = m["lives"] > 0 or m["wave"].get("UseWaveSystem", False) or h["WaveBarHud"]
    section("HUD", list(h.items()))

    w = dict(UseWaveSystem=False, NumWaves=0, NewWave_StartDelay=0, NewWave_MechSize=0, NewWave_SpawnRate=0,
             NewWave_OvniCap=0, WaveClear_AreaClear=False, WaveClear_MechIdx=0, WaveClear_Condition=0,
             WaveClear_Val=0)
    w.update(m["wave"])
    section("WAVE", list(w.items()))

    col = m["colour"]
    if col:
        pairs = [("UseColourSystem", True), ("NumColourBalls", col["balls"]), ("NumColourStates", 3)]
        for n, (state, rgb) in enumerate((("red", (1, 0.2, 0.15, 1)), ("green", (0.2, 1, 0.3, 1)),
                                          ("blue", (0.25, 0.45, 1, 1))), 1):
            pairs += [("CState_%d_Name" % n, state), ("CState_%d_Colour" % n, rgb)]
        pairs += [("CState_Lock_Name", "lock"), ("UseComboSys", True), ("ComboRedLineUnits", col["red_line"]),
                  ("ComboMinCombo", 3), ("ComboMinPoint", 50), ("ComboPointMulti", 1.5),
                  ("ComboMechaScoreIndx", 1), ("ComboTimeToCombo", 3)]
    else:
        pairs = [("UseColourSystem", False)]
    section("Colour", pairs)

    pairs = [("NumAreas", len(m["areas"]))]
    for n, a in enumerate(m["areas"], 1):
        pairs += [("TArea_%d_Type" % n, a["type"]), ("TArea_%d_Pos" % n, a["pos"]),
                  ("TArea_%d_Scale" % n, a["scale"])]
        for row, fields in sorted(a["rows"].items()):
            for field, delta in fields.items():
                pairs.append(("TArea_%d_MechaVar_%d_%s" % (n, row, field), delta))
    section("TrigArea", pairs)

    pairs = [("NumOvniTypes", len(m["ovni"]))]
    for n, o in enumerate(m["ovni"], 1):
        pairs += [("Ovni_%d_Name" % n, o["name"]), ("Ovni_%d_Rate" % n, o["rate"]),
                  ("Ovni_%d_SimCap" % n, o["sim_cap"]), ("Ovni_%d_MaxSpawn" % n, o["max_spawn"]),
                  ("Ovni_%d_ColourIdx" % n, o["colour"])]
        for row, fields in sorted(o["rows"].items()):
            assert 1 <= row <= hp_row
            for field, delta in fields.items():
                pairs.append(("Ovni_%d_Mecha_%d_%s" % (n, row, field), delta))
    section("OVNI", pairs)

    def pickups(title, head, entries, rows):
        pairs = list(head) + [("NumPickupTypes", len(entries))]
        for n, (name, rate, max_spawn) in enumerate(entries, 1):
            pairs += [("Pick_%d_Name" % n, name), ("Pick_%d_Rate" % n, rate), ("Pick_%d_SimCap" % n, 1),
                      ("Pick_%d_MaxSpawn" % n, max_spawn)]
            for row, fields in sorted(rows.get(name, {}).items()):
                for field, delta in fields.items():
                    pairs.append(("Pick_%d_Mecha_%d_%s" % (n, row, field), delta))
        section(title, pairs)

    interval = m["interval"] if m["interval"] is not None else INTERVAL_STANDARD
    time = m["time"] if m["time"] is not None else TIME_STANDARD
    # Every pickup taken is worth 50 points.
    bonus = {name: {1: {"Pick": 50}} for name, _, _ in interval + time}
    pickups("INTERVAL_PICKUPS", [("KillsInterval", 8), ("ChangeVar", 0.5)], interval, bonus)
    pickups("TIME_PICKUPS", [("TimeInterval", 25), ("ChangeVar", 0.2)], time, bonus)

    r = dict(TableIdx=0, MechIndx=1, Table_Order=0, Table_DefVal=0, Table_ValIsTime=False)
    r.update(m["record"])
    section("RECORD_TABLE", list(r.items()))

    with open(OUT + m["name"] + ".ini", "w") as f:
        f.write("\n".join(lines) + "\n")


def wisp_rows(hp_row, score=100, extra=None):
    rows = {1: {"pKill": score}, hp_row: {"pKill": 0}}
    for row, fields in (extra or {}).items():
        rows.setdefault(row, {}).update(fields)
    return rows


def free_endless(name, table, comment, **kw):
    """An endless free mode: the play ends with the last life, and its score is recorded then."""
    kw.setdefault("clear", {})
    kw["clear"] = dict(CC_PrintName="Game Over", CC_PDestroyed=True, **kw["clear"])
    return mode(name, comment, record=dict(TableIdx=table, MechIndx=1), **kw)


def score_challenge(name, comment, seconds, *, bronze=None, extra_vars=(), **kw):
    """A score challenge on a countdown (variable 2), lost on destruction.

    With `bronze` (the challenge's bronze target) the play is cleared only when the countdown has run
    out and the score reached that target, so waiting out the clock clears nothing. The rules hold one
    mecha test per condition, so a single wave works as a latch: it is cleared once the score reaches
    the target (CC_WaveClear then holds), and its ClearWave lifts variable 3, the deadline, far above 0.
    The deadline runs down with the countdown: reaching 0 without the latch loses the play."""
    lives = kw.pop("lives", 2)
    variables = [SCORE, countdown(seconds)]
    clear = dict(CC_RT_Challange=True, CC_MechCond=True, CC_MechIndx=2, CC_Condition=3, CC_Val=0)
    lose = dict(HasLoseCondition=True, LC_PDestroyed=True, LC_RT_Challange=True)
    if bronze is not None:
        assert not extra_vars and "wave" not in kw
        variables.append(var(start=seconds, def_a=seconds, time_aff=-1, clear_wave=1000000))
        clear["CC_WaveClear"] = True
        lose.update(LC_PrintName="Failed", LC_MechCond=True, LC_MechIndx=3, LC_Condition=3, LC_Val=0)
        kw["wave"] = dict(UseWaveSystem=True, NumWaves=1, WaveClear_MechIdx=1, WaveClear_Condition=4,
                          WaveClear_Val=bronze)
    clear.update(kw.pop("clear", {}))
    lose.update(kw.pop("lose", {}))
    kw["hud"] = dict(TimeHud=True, TimeMechIndx=2, **kw.get("hud", {}))
    return mode(name, comment, lives=lives, variables=variables + list(extra_vars), clear=clear, lose=lose, **kw)


def time_challenge(name, comment, goal, goal_value, *, extra_vars=(), **kw):
    """A time challenge: variable 1 is a clock counting up; cleared when variable 2 reaches its goal."""
    kw["clear"] = dict(CC_RT_Challange=True, CC_MechCond=True, CC_MechIndx=2, CC_Condition=4, CC_Val=goal_value,
                       **kw.get("clear", {}))
    kw["lose"] = dict(HasLoseCondition=True, LC_PDestroyed=True, LC_RT_Challange=True)
    kw["hud"] = dict(ScoreHud=False, ScoreMechIndx=0, ChronoHud=True, ChronoMechIndx=1, **kw.get("hud", {}))
    kw.setdefault("lives", 1)
    return mode(name, comment, variables=[CLOCK, goal] + list(extra_vars), record=dict(Table_ValIsTime=True),
                **kw)


# Spawning held back for good: the clock (variable 1) is always >= 0.
FIXED_POPULATION = dict(LimitSpawnMech=True, LSM_MechIdx=1, LSM_Condition=4, LSM_Val=0, SGlobalCap=0)
WAVE_KILLS = var(start=8, def_a=8, def_b=0)


def waves(var_index, count):
    return dict(UseWaveSystem=True, NumWaves=count, NewWave_StartDelay=4, NewWave_MechSize=1.25,
                NewWave_SpawnRate=0.9, NewWave_OvniCap=1.2, WaveClear_MechIdx=var_index, WaveClear_Condition=3,
                WaveClear_Val=0)


COLOUR_WISPS = lambda hp_row: [ovni("wisp_" + c, 1, wisp_rows(hp_row), colour=n)  # noqa: E731
                               for n, c in enumerate(("red", "green", "blue"), 1)]

MODES = [
    free_endless("ArcadeMode", 1, ["Arcade: hold the arena as long as you can; every wreck scores.",
                                   "Endless: the play ends with the last life. The spawn interval tightens",
                                   "over the first five minutes."],
                 spawn=dict(VariableSpawnRate=True, keys=[(0, 4), (120, 2), (300, 1)]),
                 ovni=[ovni("wisp", 4, wisp_rows(2)), ovni("monolith", 1, wisp_rows(2, 400), sim_cap=2)]),
    mode("TimeAttack", ["Time attack: score as much as you can before the 120 s countdown stops.",
                        "The score is recorded when the clock runs out or the last life is lost."],
         variables=[SCORE, countdown(120)],
         clear=dict(CC_PrintName="Time Up", CC_MechCond=True, CC_MechIndx=2, CC_Condition=3, CC_Val=0),
         lose=dict(HasLoseCondition=True, LC_HasRecordTable=True, LC_PDestroyed=True),
         hud=dict(TimeHud=True, TimeMechIndx=2), spawn=dict(SpawnTime=2, SGlobalCap=12, StartSpawn=5),
         ovni=[ovni("wisp", 1, wisp_rows(3))], record=dict(TableIdx=2, MechIndx=1)),
    free_endless("Survival", 3, ["Survival: one vehicle, no lives and no repairs, endless waves.",
                                 "Each wave needs more wrecks (variable 2); the score is recorded at the end."],
                 lives=0, variables=[SCORE, WAVE_KILLS], wave=waves(2, 999),
                 hud=dict(WaveBarHud=True, WaveBarMechIndx=2),
                 ovni=[ovni("wisp", 3, wisp_rows(3, extra={2: {"pKill": -1}})),
                       ovni("monolith", 1, wisp_rows(3, 400, {2: {"pKill": -3}}), sim_cap=1)],
                 interval=[("pick_weap_rocket_pod", 1, LONG_PLAY), ("pick_weap_arc_coil", 1, LONG_PLAY)],
                 time=[("pick_turbo", 1, LONG_PLAY)]),
    free_endless("Vampire", 4, ["Vampire: the armour drains by itself (HP_TimeAff); only wrecks win it back."],
                 lives=1, hp=dict(HP_TimeAff=-6), max_hp=200,
                 ovni=[ovni("wisp", 1, wisp_rows(2, extra={2: {"pKill": 30}}))],
                 interval=[("pick_weap_rocket_pod", 1, LONG_PLAY), ("pick_weap_plasma_lance", 1, LONG_PLAY)]),
    free_endless("ColourCombo", 5, ["Colour combo: wreck wisps of one colour in a row to chain combos;",
                                    "each chain scores into variable 1. Endless."],
                 colour=dict(balls=5, red_line=0), ovni=COLOUR_WISPS(2), spawn=dict(SGlobalCap=9)),
    free_endless("CloseCombat", 6, ["Close combat: a small arena (BorderScale) and a close camera. Endless."],
                 border=0.5, cam=(1, 0.4), spawn_pos=(0, 0, 30), spawn=dict(SpawnTime=2.5, SGlobalCap=6),
                 ovni=[ovni("wisp", 1, wisp_rows(2, 150))]),
    score_challenge("Ch1_FirstContact", ["First contact: a score challenge on a 120 s countdown; cleared when the",
                                         "clock runs out with the bronze score (1000) reached."], 120, bronze=1000,
                    ovni=[ovni("wisp", 1, wisp_rows(4))]),
    time_challenge("Ch1_ScrapRun", ["Scrap run: a fixed population of twelve drones; the clock stops when",
                                    "all twelve are wrecks and the yard is clear. The bar shows the wrecks."],
                   var(def_a=12), 12, spawn=dict(StartSpawn=12, **FIXED_POPULATION),
                   clear=dict(CC_AreaClear=True), ovni=[ovni("wisp", 1, {2: {"pKill": 1}})],
                   hud=dict(WaveBarHud=True, WaveBarMechIndx=2)),
    score_challenge("Ch1_HoldTheLine", ["Hold the line: beat three waves (wave kills are variable 3) before the",
                                        "150 s countdown runs out."], 150,
                    extra_vars=[var(start=6, def_a=6, def_b=0)], wave=waves(3, 3), hud=dict(WaveBarHud=True,
                                                                                         WaveBarMechIndx=3),
                    clear=dict(CC_MechCond=False, CC_MechIndx=0, CC_WaveClear=True),
                    lose=dict(LC_PrintName="Failed", LC_MechCond=True, LC_MechIndx=2, LC_Condition=3, LC_Val=0),
                    ovni=[ovni("wisp", 1, wisp_rows(4, extra={3: {"pKill": -1}}))]),
    score_challenge("Ch2_HotMetal", ["Hot metal: a score challenge among the furnaces on a 150 s countdown;",
                                     "the spawn interval shortens as the clock runs. Cleared with the bronze",
                                     "score (3000) when the clock runs out."], 150, bronze=3000,
                    spawn=dict(VariableSpawnRate=True, keys=[(0, 3), (150, 1.2)], SGlobalCap=12),
                    ovni=[ovni("wisp", 3, wisp_rows(4)), ovni("monolith", 1, wisp_rows(4, 500), sim_cap=1)]),
    time_challenge("Ch2_ConveyorChase", ["Conveyor chase: one saucer; the clock stops when it is a wreck."],
                   var(), 1, spawn=dict(StartSpawn=1, **FIXED_POPULATION), clear=dict(CC_AreaClear=True),
                   ovni=[ovni("wisp", 1, {2: {"pKill": 1}, 3: {"Hit": 0}})], multiplier=False),
    score_challenge("Ch2_ColourFurnace", ["Colour furnace: chain wisps of one colour on a 150 s countdown;",
                                          "cleared with the bronze score (4000) when the clock runs out."],
                    150, bronze=4000, colour=dict(balls=5, red_line=0), ovni=COLOUR_WISPS(4)),
    score_challenge("Ch2_Meltdown", ["Meltdown: the heavy Ovni lands with an escort; bring it down (variable 3)",
                                     "before the 180 s countdown ends. Its wreck is worth 5000."], 180, lives=3,
                    extra_vars=[var()], spawn=dict(StartSpawn=2, SGlobalCap=6),
                    clear=dict(CC_MechIndx=3, CC_Condition=4, CC_Val=1),
                    lose=dict(LC_PrintName="Failed", LC_MechCond=True, LC_MechIndx=2, LC_Condition=3, LC_Val=0),
                    ovni=[ovni("monolith", 2, wisp_rows(4, 5000, {3: {"pKill": 1}}), sim_cap=1, max_spawn=2),
                          ovni("wisp", 4, wisp_rows(4), max_spawn=300)]),
    time_challenge("Ch3_RooftopRally", ["Rooftop rally: reach the beacon's ring (a player area) in the north-east",
                                        "corner; the clock stops on arrival."], var(), 1, spawn_pos=(-100, 0, 100),
                   spawn_yaw=45, areas=[dict(type=1, pos=(95, 0, -95), scale=1.5, rows={2: {"Enter": 1}})],
                   ovni=[ovni("wisp", 1, {})], spawn=dict(SpawnTime=4, SGlobalCap=5)),
    score_challenge("Ch3_SwarmTide", ["Swarm tide: every saucer at once, in waves; survive the 180 s countdown."],
                    180, lives=3, extra_vars=[WAVE_KILLS], wave=waves(3, 10),
                    hud=dict(WaveBarHud=True, WaveBarMechIndx=3),
                    spawn=dict(VariableSpawnRate=True, keys=[(0, 1.5), (60, 0.8)], SGlobalCap=18, StartSpawn=8),
                    ovni=[ovni("wisp", 1, wisp_rows(4, extra={3: {"pKill": -1}}))]),
    score_challenge("Ch3_LastLight", ["Last light: keep the beacon's light (variable 3) burning until the 180 s",
                                      "countdown ends. It drains by 1 a second and gains 2 a second while the",
                                      "player stands in the beacon's ring (a player area), where every second",
                                      "also scores 40 and repairs 2 HP. The play is lost when the light is out."],
                    180, lives=3, extra_vars=[var(start=20, def_a=40, def_b=0, time_aff=-1)],
                    lose=dict(LC_PrintName="Failed", LC_MechCond=True, LC_MechIndx=3, LC_Condition=3, LC_Val=0),
                    hud=dict(WaveBarHud=True, WaveBarMechIndx=3),
                    areas=[dict(type=1, pos=(0, 0, 0), scale=1.5,
                                rows={1: {"Inside": 40}, 3: {"Inside": 2}, 4: {"Inside": 2}})],
                    ovni=[ovni("wisp", 3, wisp_rows(4)), ovni("monolith", 1, wisp_rows(4, 400), sim_cap=1)]),
]

if __name__ == "__main__":
    for m in MODES:
        write(m)
