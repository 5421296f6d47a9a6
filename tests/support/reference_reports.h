// The summary reports' statements word for word as the office has always run them: the reference
// the program's faster statements must agree with.
#pragma once
#include <QStringList>

namespace reference_reports {
const QStringList byWorkers{
    "select person.s_caption fio, sum(smena.kol_vo-smena.brak)::numeric(10,2) as kolvo,vid_oper.vid, ",
    "sum((kol_vo-brak)*smena.cena)::numeric(10,2) as summa,izdel.nom, oper.naimen, color,",
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7 from accounts_dep.fatigue f where "
    "f.d_date<:data4 and f.d_date>=:data3 and f.id_p=smena.w_id and f.id_nom=izdel.id_nom and f.id_o=7777),",
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8 from accounts_dep.fatigue f where "
    "f.d_date<:data6 and f.d_date>=:data5 and f.id_p=smena.w_id and f.id_nom=izdel.id_nom and f.id_o=7778),",
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum78 from accounts_dep.fatigue f where "
    "f.d_date<:data8 and f.d_date>=:data7 and f.id_p=smena.w_id),",
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7_all from accounts_dep.fatigue f where "
    "f.d_date<:data10 and f.d_date>=:data9 and f.id_o=7777),",
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8_all from accounts_dep.fatigue f where "
    "f.d_date<:data12 and f.d_date>=:data11 and f.id_o=7778)",
    "from cmn_contractor.person person,accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper,",
    "accounts_dep.oper where w_id=s_code::integer and izdel.id=smena.i_id and vid_oper.id=oper.vid",
    "and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1",
    "group by fio, izdel.nom, vid_oper.vid, smena.w_id, izdel.id_nom, oper.naimen, color",
    "order by fio, izdel.nom"};
const QStringList byProducts{
    "select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid,",
    "izdel.nom, oper.naimen, color,  round((izdel.massa*sum(smena.kol_vo-smena.brak))::numeric,2) as mass",
    "from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where "
    "izdel.id=smena.i_id and vid_oper.id=oper.vid",
    "and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 ",
    "group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"};
const QStringList detailedByWorkers{
    "select s_caption fio, izdel.marka, vid_oper.vid, oper.naimen, sum(time) as sum_time,",
    "sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)*",
    "smena.cena) as summa, color, sum(prize*(kol_vo-brak)*cena/100) as s_prize,",
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7 from accounts_dep.fatigue f where "
    "f.d_date<:data2 and f.d_date>=:data1 and f.id_p=smena.w_id and f.id_o=7777 and f.i_night=0),",
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7_n from accounts_dep.fatigue f where "
    "f.d_date<:data4 and f.d_date>=:data3 and f.id_p=smena.w_id and f.id_o=7777 and f.i_night=1),",
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8 from accounts_dep.fatigue f where "
    "f.d_date<:data6 and f.d_date>=:data5 and f.id_p=smena.w_id and f.id_o=7778 and f.i_night=0),",
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8_n from accounts_dep.fatigue f where "
    "f.d_date<:data8 and f.d_date>=:data7 and f.id_p=smena.w_id and f.id_o=7778 and f.i_night=1),",
    "(select coalesce(sum(f.cnt),0)::numeric(10,2) f_sum7h from accounts_dep.fatigue f where "
    "f.d_date<:data12 and f.d_date>=:data11 and f.id_p=smena.w_id and f.id_o=7777 and f.i_night=0),",
    "(select coalesce(sum(f.cnt),0)::numeric(10,2) f_sum7h_n from accounts_dep.fatigue f where "
    "f.d_date<:data14 and f.d_date>=:data13 and f.id_p=smena.w_id and f.id_o=7777 and f.i_night=1),",
    "(select coalesce(sum(f.cnt),0)::numeric(10,2) f_sum8h from accounts_dep.fatigue f where "
    "f.d_date<:data16 and f.d_date>=:data15 and f.id_p=smena.w_id and f.id_o=7778 and f.i_night=0),",
    "(select coalesce(sum(f.cnt),0)::numeric(10,2) f_sum8h_n from accounts_dep.fatigue f where "
    "f.d_date<:data18 and f.d_date>=:data17 and f.id_p=smena.w_id and f.id_o=7778 and f.i_night=1)",
    "from cmn_contractor.person "
    "person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper ",
    "where smena.o_id=oper.id and smena.w_id=s_code::integer and smena.i_id=izdel.id ",
    "and smena.o_id=oper.id and w_id=s_code::integer and oper.vid=vid_oper.id ",
    "and smena.data<:data10 and smena.data>=:data9 ",
    "group by fio, marka,vid_oper.vid, oper.naimen, color, w_id ",
    "order by fio, marka, vid_oper.vid, oper.naimen"};
const QStringList detailedByProducts{
    "select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom,",
    "sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, ",
    "sum((kol_vo-brak)*smena.cena) as summa, color, round((izdel.massa*sum(smena.kol_vo))::numeric,2) as "
    "mass ",
    "from accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where "
    "smena.o_id=oper.id and smena.i_id=izdel.id ",
    "and smena.o_id=oper.id and oper.vid=vid_oper.id and smena.data<:data2 and ",
    "smena.data>=:data1 group by izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa ",
    "order by izdel.nom,marka, vid_oper.vid, oper.naimen"};
} // namespace reference_reports
