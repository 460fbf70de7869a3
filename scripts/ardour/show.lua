-- Prints KSPhaser's parameters and programs as Ardour sees them on the session's track.
-- ardour7-lua show.lua DIR NAME
dofile(debug.getinfo(1, "S").source:sub(2):gsub("[^/]*$", "") .. "common.lua")
K.open(arg[1], arg[2])
local proc, plugin = K.phaser()

-- Ardour counts an LV2 plug-in's audio and atom ports among its parameters: only controls are listed.
local controls = {}
for i = 0, plugin:parameter_count() - 1 do
	if plugin:parameter_is_control(i) then controls[#controls + 1] = i end
end
print(string.format("parameters: %d (Ardour's units are the plug-in's plain values)", #controls))
for _, i in ipairs(controls) do
	local _, t = plugin:get_parameter_descriptor(i, ARDOUR.ParameterDescriptor())
	local d = t[2]
	local kind = d.toggled and "toggle" or (d.integer_step and "integer" or "continuous")
	if d.enumeration then kind = "list" end
	print(string.format("  param %2d  %-14s range %g .. %g  default %g  %-10s value %.9g%s", i,
		plugin:parameter_label(i), d.lower, d.upper, d.normal, kind,
		ARDOUR.LuaAPI.get_processor_param(proc, i, true),
		plugin:parameter_is_input(i) and "" or "  (output)"))
	-- The list's entries and the display format (which Ardour takes from the unit), where there are.
	local points = {}
	for label, value in pairs(ARDOUR.LuaAPI.desc_scale_points(d)) do
		points[#points + 1] = {value, label}
	end
	table.sort(points, function(a, b) return a[1] < b[1] end)
	for n, p in ipairs(points) do points[n] = string.format("%g %q", p[1], p[2]) end
	if #points > 0 then print("    entries: " .. table.concat(points, ", ")) end
	if d.print_fmt ~= "" then print("    format: " .. d.print_fmt) end
end

local programs = K.programs(plugin)
print(string.format("programs (Ardour's factory presets): %d", #programs))
for i, preset in ipairs(programs) do
	print(string.format("  program %d  %-12s %s", i - 1, preset.label, preset.uri))
end
local listed = 0
for _ in plugin:get_info():get_presets(false):iter() do listed = listed + 1 end
print("presets in the plug-in list's entry (PluginInfo:get_presets): " .. listed)
local last = plugin:last_preset()
print("last preset: " .. (last.valid and last.label or "none"))
print("done")
close_session()
